#include "qt/TimedateClockSetter.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDateTime>
#include <QTimeZone>

namespace tolvane {

void TimedateClockSetter::SetClock(const ClockRecord& record, bool interactive) {
    const QDateTime when(QDate(record.year, record.month, record.day),
                         QTime(record.hour, record.minute, record.second, record.milliseconds),
                         record.utc ? Qt::UTC : Qt::LocalTime);
    if (!when.isValid()) return;
    const qint64 usecUtc = when.toMSecsSinceEpoch() * 1000;

    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("/org/freedesktop/timedate1"),
        QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("SetTime"));
    call << QVariant::fromValue<qint64>(usecUtc) << false << interactive;
    call.setInteractiveAuthorizationAllowed(interactive);
    QDBusConnection::systemBus().send(call);
}

}  // namespace tolvane
