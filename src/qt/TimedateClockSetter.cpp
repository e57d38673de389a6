#include "qt/TimedateClockSetter.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDateTime>
#include <QTimeZone>

namespace tolvane {
namespace {

// A password dialog may stand between the request and its answer.
constexpr int kInteractiveTimeoutMs = 120000;
constexpr int kTimeoutMs = 25000;

}  // namespace

void TimedateClockSetter::SetClock(const ClockRecord& record, bool interactive, ClockSetDone done) {
    const QDateTime when(QDate(record.year, record.month, record.day),
                         QTime(record.hour, record.minute, record.second, record.milliseconds),
                         record.utc ? Qt::UTC : Qt::LocalTime);
    if (!when.isValid()) {
        done({});
        return;
    }
    const qint64 msecUtc = when.toMSecsSinceEpoch();
    const qint64 movedMs = msecUtc - QDateTime::currentMSecsSinceEpoch();

    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("/org/freedesktop/timedate1"),
        QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("SetTime"));
    call << QVariant::fromValue<qint64>(msecUtc * 1000) << false << interactive;
    call.setInteractiveAuthorizationAllowed(interactive);
    // With no bus the call fails at once, and the watcher still reports it.
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::systemBus().asyncCall(
        call, interactive ? kInteractiveTimeoutMs : kTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [done = std::move(done), movedMs](QDBusPendingCallWatcher* self) {
                         done({!self->isError(), movedMs});
                         self->deleteLater();
                     });
}

}  // namespace tolvane
