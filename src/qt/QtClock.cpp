#include "qt/QtClock.h"

#include <QDateTime>

namespace tolvane {
namespace {

LocalDateTime Fields(const QDateTime& at) {
    const QDate date = at.date();
    const QTime time = at.time();
    LocalDateTime moment;
    moment.year = date.year();
    moment.month = date.month();
    moment.day = date.day();
    moment.hour = time.hour();
    moment.minute = time.minute();
    moment.second = time.second();
    moment.millisecond = time.msec();
    moment.weekday = date.dayOfWeek() % 7 + 1;  // Qt counts Monday = 1 ... Sunday = 7
    moment.utcOffsetSeconds = at.offsetFromUtc();
    return moment;
}

}  // namespace

LocalDateTime QtClock::Now() {
    return Fields(QDateTime::currentDateTime());
}

LocalDateTime QtClock::LocalAt(std::int64_t utcSeconds) {
    return Fields(QDateTime::fromSecsSinceEpoch(utcSeconds, Qt::LocalTime));
}

}  // namespace tolvane
