#include "qt/desktop/DesktopBus.h"

#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QPointer>

#include <utility>

namespace tolvane {
namespace {

// Desktop services answer at once; one that hangs must not leave an answer hanging for long.
constexpr int kAnswerTimeoutMs = 2000;

}  // namespace

void AskBus(const QDBusConnection& bus, QDBusMessage call, QObject* context,
            std::function<void(const QDBusMessage&)> answer) {
    if (!bus.isConnected()) {
        answer(QDBusMessage::createError(QDBusError::Disconnected, QString()));
        return;
    }
    call.setAutoStartService(false);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kAnswerTimeoutMs), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [watcher, answer = std::move(answer)] {
                         answer(watcher->reply());
                         watcher->deleteLater();
                     });
}

QDBusMessage PropertyCall(const QString& service, const QString& path, const QString& interface,
                          const QString& property) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << interface << property;
    return call;
}

SignalState BooleanAnswer(const QDBusMessage& reply, bool on) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return SignalState::Unknown;
    }
    QVariant value = reply.arguments().first();
    if (value.userType() == qMetaTypeId<QDBusVariant>()) {
        value = value.value<QDBusVariant>().variant();
    }
    if (value.typeId() != QMetaType::Bool) return SignalState::Unknown;
    return value.toBool() == on ? SignalState::On : SignalState::Off;
}

}  // namespace tolvane
