#include "qt/QtClock.h"

#include <QDateTime>

namespace tolvane {

LocalDateTime QtClock::Now() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    LocalDateTime moment;
    moment.year = date.year();
    moment.month = date.month();
    moment.day = date.day();
    moment.hour = time.hour();
    moment.minute = time.minute();
    moment.second = time.second();
    moment.millisecond = time.msec();
    moment.weekday = date.dayOfWeek() % 7 + 1;  // Qt counts Monday = 1 ... Sunday = 7
    moment.utcOffsetSeconds = now.offsetFromUtc();
    return moment;
}

}  // namespace tolvane
