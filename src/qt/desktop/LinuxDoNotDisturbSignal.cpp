#include "qt/desktop/LinuxDoNotDisturbSignal.h"

#include <QDBusConnection>
#include <QDBusError>

#include "qt/desktop/DesktopBus.h"

namespace tolvane {
namespace {

const QString kServer = QStringLiteral("org.freedesktop.Notifications");
const QString kServerPath = QStringLiteral("/org/freedesktop/Notifications");

}  // namespace

void LinuxDoNotDisturbSignal::Refresh() {
    AskBus(QDBusConnection::sessionBus(),
           QDBusMessage::createMethodCall(kServer, kServerPath, kServer,
                                          QStringLiteral("GetServerInformation")),
           this, [this](const QDBusMessage& reply) {
               if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
                   m_state = SignalState::Unknown;
                   return;
               }
               AskServer(reply.arguments().first().toString());
           });
}

void LinuxDoNotDisturbSignal::AskServer(const QString& name) {
    const auto take = [this](const QDBusMessage& reply) { m_state = BooleanAnswer(reply); };
    if (name == QLatin1String("gnome-shell")) {
        const std::optional<bool> banners = m_gnome.ShowBanners();
        m_state = !banners ? SignalState::Unknown : *banners ? SignalState::Off : SignalState::On;
    } else if (name == QLatin1String("dunst")) {
        AskBus(QDBusConnection::sessionBus(),
               PropertyCall(kServer, kServerPath, QStringLiteral("org.dunstproject.cmd0"),
                            QStringLiteral("paused")),
               this, take);
    } else if (name == QLatin1String("Xfce Notify Daemon")) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.xfce.Xfconf"), QStringLiteral("/org/xfce/Xfconf"),
            QStringLiteral("org.xfce.Xfconf"), QStringLiteral("GetProperty"));
        call << QStringLiteral("xfce4-notifyd") << QStringLiteral("/do-not-disturb");
        AskBus(QDBusConnection::sessionBus(), call, this, [this](const QDBusMessage& reply) {
            // Never switched on, the property is not set at all.
            const bool unset =
                reply.errorName() == QLatin1String("org.xfce.Xfconf.Error.PropertyNotFound");
            m_state = unset ? SignalState::Off : BooleanAnswer(reply);
        });
    } else {
        AskBus(QDBusConnection::sessionBus(),
               PropertyCall(kServer, kServerPath, kServer, QStringLiteral("Inhibited")), this,
               take);
    }
}

}  // namespace tolvane
