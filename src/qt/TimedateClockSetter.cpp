#include "qt/TimedateClockSetter.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QDateTime>
#include <QTimeZone>
#include <QVariantMap>

namespace tolvane {
namespace {

// A password dialog may stand between the request and its answer.
constexpr int kInteractiveTimeoutMs = 120000;
constexpr int kTimeoutMs = 25000;
constexpr int kPropertiesTimeoutMs = 5000;

QDBusMessage TimedateCall(const char* interface, const char* method) {
    return QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("/org/freedesktop/timedate1"),
        QString::fromLatin1(interface), QString::fromLatin1(method));
}

// Watches an asynchronous call on the system bus. With no bus the call has failed before the
// watcher exists, and a watcher never reports a call finished before it: that one is reported
// from the event loop.
template <typename Done>
void Call(const QDBusMessage& call, int timeoutMs, Done done) {
    const QDBusPendingCall pending = QDBusConnection::systemBus().asyncCall(call, timeoutMs);
    auto* watcher = new QDBusPendingCallWatcher(pending);
    auto report = [done = std::move(done)](QDBusPendingCallWatcher* self) {
        done(*self);
        self->deleteLater();
    };
    if (pending.isFinished()) {
        QMetaObject::invokeMethod(
            watcher, [watcher, report = std::move(report)] { report(watcher); },
            Qt::QueuedConnection);
        return;
    }
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, std::move(report));
}

ClockRefusal RefusalOf(const QDBusError& error) {
    const QString name = error.name();
    if (name == QLatin1String("org.freedesktop.timedate1.AutomaticTimeSyncEnabled")) {
        return ClockRefusal::AutomaticSync;
    }
    // Nobody owns the name (timedated not installed), or there is no system bus at all.
    if (error.type() == QDBusError::ServiceUnknown || error.type() == QDBusError::Disconnected ||
        error.type() == QDBusError::NoServer ||
        name.startsWith(QLatin1String("org.freedesktop.DBus.Error.Spawn."))) {
        return ClockRefusal::NoService;
    }
    // The service took the request and said nothing within the call's time limit.
    if (error.type() == QDBusError::NoReply || error.type() == QDBusError::Timeout) {
        return ClockRefusal::NoAnswer;
    }
    return ClockRefusal::Other;
}

std::optional<qint64> MsecsUtc(const ClockRecord& record) {
    const QDateTime when(QDate(record.year, record.month, record.day),
                         QTime(record.hour, record.minute, record.second, record.milliseconds),
                         record.utc ? Qt::UTC : Qt::LocalTime);
    if (!when.isValid()) return std::nullopt;
    return when.toMSecsSinceEpoch();
}

}  // namespace

void TimedateClockSetter::SetClock(const ClockRecord& record, bool interactive, ClockSetDone done) {
    const std::optional<qint64> msecUtc = MsecsUtc(record);
    if (!msecUtc) {
        done({});
        return;
    }
    const qint64 movedMs = *msecUtc - QDateTime::currentMSecsSinceEpoch();
    QDBusMessage call = TimedateCall("org.freedesktop.timedate1", "SetTime");
    call << QVariant::fromValue<qint64>(*msecUtc * 1000) << false << interactive;
    call.setInteractiveAuthorizationAllowed(interactive);
    Call(call, interactive ? kInteractiveTimeoutMs : kTimeoutMs,
         [done = std::move(done), movedMs](QDBusPendingCallWatcher& reply) {
             if (!reply.isError()) return done({true, movedMs});
             done({false, movedMs, RefusalOf(reply.error())});
         });
}

void TimedateClockSetter::ReadSystemTimeSync(std::function<void(SystemTimeSync)> done) {
    QDBusMessage call = TimedateCall("org.freedesktop.DBus.Properties", "GetAll");
    call << QStringLiteral("org.freedesktop.timedate1");
    Call(call, kPropertiesTimeoutMs, [done = std::move(done)](QDBusPendingCallWatcher& watcher) {
        const QDBusPendingReply<QVariantMap> reply = watcher;
        if (reply.isError()) return done(SystemTimeSync::Off);
        const QVariantMap properties = reply.value();
        if (!properties.value(QStringLiteral("NTP")).toBool()) return done(SystemTimeSync::Off);
        done(properties.value(QStringLiteral("NTPSynchronized")).toBool()
                 ? SystemTimeSync::Synchronised
                 : SystemTimeSync::NotYetSynchronised);
    });
}

std::optional<std::int64_t> TimedateClockSetter::OffsetOf(const ClockRecord& record) {
    const std::optional<qint64> msecUtc = MsecsUtc(record);
    if (!msecUtc) return std::nullopt;
    return *msecUtc - QDateTime::currentMSecsSinceEpoch();
}

}  // namespace tolvane
