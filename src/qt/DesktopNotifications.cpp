#include "qt/DesktopNotifications.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QVariantMap>

#include "qt/QtText.h"

namespace tolvane {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");

}  // namespace

bool DesktopNotifications::ServerPresent() const {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr) return false;
    if (bus.interface()->isServiceRegistered(kService)) return true;
    const QDBusMessage reply = bus.call(
        QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListActivatableNames")),
        QDBus::Block, 2000);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().first().toStringList().contains(kService);
}

void DesktopNotifications::Show(const TrayNotice& notice, NoticeStyle style,
                                const QString& iconName) const {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/Notifications"),
                                       kService, QStringLiteral("Notify"));
    const QVariantMap hints{
        {QStringLiteral("desktop-entry"), QStringLiteral("tolvane")},
        {QStringLiteral("urgency"), QVariant::fromValue(static_cast<uchar>(style.urgency))}};
    call << QStringLiteral("Tolvane") << uint(0) << iconName << FromUtf8(notice.title)
         << FromUtf8(notice.text).toHtmlEscaped() << QStringList() << hints << style.timeoutMs;
    QDBusConnection::sessionBus().call(call, QDBus::NoBlock);
}

}  // namespace tolvane
