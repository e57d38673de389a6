#include "qt/GlobalHotkey.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QGuiApplication>
#include <QRandomGenerator>

#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <array>

namespace tolvane {
namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kShortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kShortcutId = QStringLiteral("speak-the-time");

// NumLock (Mod2) and CapsLock change the state a key press reports; the grab covers them all.
constexpr std::array<unsigned, 4> kIgnoredLocks{0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                                XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
constexpr unsigned kModifierMask =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

bool IsX11() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

bool IsWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// X keysym names differ from ours for a few keys.
QByteArray KeysymName(const std::string& key) {
    if (key == "Space") return "space";
    if (key == "PageUp") return "Prior";
    if (key == "PageDown") return "Next";
    return QByteArray::fromStdString(key);
}

unsigned X11Modifiers(std::uint32_t modifiers) {
    unsigned mask = 0;
    if (modifiers & kHotkeyCtrl) mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & kHotkeyAlt) mask |= XCB_MOD_MASK_1;
    if (modifiers & kHotkeyShift) mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & kHotkeyWin) mask |= XCB_MOD_MASK_4;
    return mask;
}

// The shortcuts specification's form: "CTRL+ALT+t", the key as an XKB keysym name.
QString PortalTrigger(const Hotkey& hotkey) {
    QString trigger;
    if (hotkey.modifiers & kHotkeyCtrl) trigger += QStringLiteral("CTRL+");
    if (hotkey.modifiers & kHotkeyAlt) trigger += QStringLiteral("ALT+");
    if (hotkey.modifiers & kHotkeyShift) trigger += QStringLiteral("SHIFT+");
    if (hotkey.modifiers & kHotkeyWin) trigger += QStringLiteral("LOGO+");
    const QString key = QString::fromLatin1(KeysymName(hotkey.key));
    return trigger + (key.size() == 1 ? key.toLower() : key);
}

struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

}  // namespace
}  // namespace tolvane

Q_DECLARE_METATYPE(tolvane::PortalShortcut)

namespace tolvane {

GlobalHotkey::GlobalHotkey(std::function<void()> pressed) : m_pressed(std::move(pressed)) {
    if (IsX11()) QCoreApplication::instance()->installNativeEventFilter(this);
}

GlobalHotkey::~GlobalHotkey() {
    Unregister();
}

QString GlobalHotkey::UnavailableReason() const {
    if (IsX11()) return {};
    if (IsWayland()) {
        if (PortalOffersShortcuts()) return {};
        return QStringLiteral("此 Wayland 桌面没有提供全局快捷键门户，不能使用报时热键");
    }
    return QStringLiteral("此桌面不支持全局热键");
}

bool GlobalHotkey::PortalOffersShortcuts() const {
    if (!m_portal) {
        QDBusMessage get = QDBusMessage::createMethodCall(
            kPortalService, kPortalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Get"));
        get << kShortcutsInterface << QStringLiteral("version");
        m_portal = QDBusConnection::sessionBus().call(get, QDBus::Block, 3000).type() ==
                   QDBusMessage::ReplyMessage;
    }
    return *m_portal;
}

HotkeyRegistration GlobalHotkey::Register(const Hotkey& hotkey) {
    Unregister();
    if (hotkey.IsNone()) return HotkeyRegistration::Registered;
    if (IsX11()) return GrabX11(hotkey);
    if (IsWayland() && PortalOffersShortcuts()) return BindPortal(hotkey);
    return HotkeyRegistration::Unavailable;
}

HotkeyRegistration GlobalHotkey::GrabX11(const Hotkey& hotkey) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr) return HotkeyRegistration::Unavailable;
    Display* display = x11->display();
    xcb_connection_t* connection = x11->connection();
    const KeySym keysym = XStringToKeysym(KeysymName(hotkey.key).constData());
    const KeyCode keycode = keysym == NoSymbol ? 0 : XKeysymToKeycode(display, keysym);
    if (keycode == 0) return HotkeyRegistration::Unavailable;
    const xcb_window_t root = DefaultRootWindow(display);
    const unsigned modifiers = X11Modifiers(hotkey.modifiers);
    // Another client's grab of the same combination fails ours with BadAccess.
    for (std::size_t i = 0; i < kIgnoredLocks.size(); ++i) {
        const xcb_void_cookie_t cookie =
            xcb_grab_key_checked(connection, 1, root, modifiers | kIgnoredLocks[i], keycode,
                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
            free(error);
            for (std::size_t j = 0; j < i; ++j) {
                xcb_ungrab_key(connection, keycode, root, modifiers | kIgnoredLocks[j]);
            }
            xcb_flush(connection);
            return HotkeyRegistration::Taken;
        }
    }
    m_keycode = keycode;
    m_modifiers = modifiers;
    m_down = false;
    return HotkeyRegistration::Registered;
}

void GlobalHotkey::Unregister() {
    if (m_keycode != 0) {
        if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
            for (unsigned locks : kIgnoredLocks) {
                xcb_ungrab_key(x11->connection(), static_cast<xcb_keycode_t>(m_keycode),
                               DefaultRootWindow(x11->display()), m_modifiers | locks);
            }
            xcb_flush(x11->connection());
        }
        m_keycode = 0;
    }
    if (!m_session.isEmpty()) {
        QDBusConnection::sessionBus().call(
            QDBusMessage::createMethodCall(kPortalService, m_session,
                                           QStringLiteral("org.freedesktop.portal.Session"),
                                           QStringLiteral("Close")),
            QDBus::NoBlock);
        m_session.clear();
    }
    m_trigger.clear();
}

bool GlobalHotkey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (m_keycode == 0 || eventType != "xcb_generic_event_t") return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) return false;
    auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
    if (key->detail != m_keycode) return false;
    if (type == XCB_KEY_RELEASE) {
        m_down = false;
        m_releasedAt = key->time;
        return false;
    }
    // The server repeats a held key as a release and a press of the same moment.
    const bool repeat = m_releasedAt == key->time;
    if ((key->state & kModifierMask) != m_modifiers || m_down || repeat) {
        m_down = m_down || repeat;
        return false;
    }
    m_down = true;
    m_pressed();
    return true;
}

// The portal answers every request with a Response signal on a request object whose path the
// caller can know beforehand, so it listens there before asking.
HotkeyRegistration GlobalHotkey::BindPortal(const Hotkey& hotkey) {
    static const bool registered = [] {
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<QList<PortalShortcut>>();
        return true;
    }();
    (void)registered;
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString token = QStringLiteral("tolvane%1").arg(QRandomGenerator::global()->generate());
    const QString sender = bus.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    m_requestPath =
        QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    bus.connect(kPortalService, m_requestPath, QStringLiteral("org.freedesktop.portal.Request"),
                QStringLiteral("Response"), this, SLOT(OnPortalResponse(uint, QVariantMap)));
    bus.connect(kPortalService, kPortalPath, kShortcutsInterface, QStringLiteral("Activated"), this,
                SLOT(OnPortalActivated(QDBusObjectPath, QString)));
    m_trigger = PortalTrigger(hotkey);
    QDBusMessage create = QDBusMessage::createMethodCall(
        kPortalService, kPortalPath, kShortcutsInterface, QStringLiteral("CreateSession"));
    create << QVariantMap{{QStringLiteral("handle_token"), token},
                          {QStringLiteral("session_handle_token"), token}};
    bus.call(create, QDBus::NoBlock);
    // The desktop asks the user to confirm; the portal reports no clash of its own.
    return HotkeyRegistration::Registered;
}

void GlobalHotkey::OnPortalResponse(uint response, const QVariantMap& results) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.disconnect(kPortalService, m_requestPath, QStringLiteral("org.freedesktop.portal.Request"),
                   QStringLiteral("Response"), this, SLOT(OnPortalResponse(uint, QVariantMap)));
    const QString session = results.value(QStringLiteral("session_handle")).toString();
    if (response != 0 || session.isEmpty() || m_trigger.isEmpty()) return;
    m_session = session;
    const QList<PortalShortcut> shortcuts{{kShortcutId,
                                           {{QStringLiteral("description"), QStringLiteral("报时")},
                                            {QStringLiteral("preferred_trigger"), m_trigger}}}};
    QDBusMessage bind = QDBusMessage::createMethodCall(
        kPortalService, kPortalPath, kShortcutsInterface, QStringLiteral("BindShortcuts"));
    bind << QVariant::fromValue(QDBusObjectPath(session)) << QVariant::fromValue(shortcuts)
         << QString() << QVariantMap{};
    bus.call(bind, QDBus::NoBlock);
}

void GlobalHotkey::OnPortalActivated(const QDBusObjectPath& session, const QString& id) {
    if (session.path() == m_session && id == kShortcutId) m_pressed();
}

}  // namespace tolvane
