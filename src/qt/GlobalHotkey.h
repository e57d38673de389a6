#pragma once

#include <QAbstractNativeEventFilter>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <cstdint>
#include <functional>
#include <optional>

#include "app/ShellWindows.h"

namespace tolvane {

// The program's one global hotkey. On X11 a passive grab of the key on the root window through
// Qt's own X connection, so it works whichever window has the focus; on Wayland the desktop
// portal's global shortcuts, where the session offers them.
class GlobalHotkey final : public QObject, private QAbstractNativeEventFilter {
    Q_OBJECT

public:
    explicit GlobalHotkey(std::function<void()> pressed);
    ~GlobalHotkey() override;

    HotkeyRegistration Register(const Hotkey& hotkey);
    void Unregister();
    // Empty where a hotkey can be had.
    QString UnavailableReason() const;

private slots:
    void OnPortalResponse(uint response, const QVariantMap& results);
    void OnPortalActivated(const QDBusObjectPath& session, const QString& id);

private:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    HotkeyRegistration GrabX11(const Hotkey& hotkey);
    HotkeyRegistration BindPortal(const Hotkey& hotkey);
    bool PortalOffersShortcuts() const;

    std::function<void()> m_pressed;
    // Asked of the session bus once: the question blocks for up to 3 s without a portal.
    mutable std::optional<bool> m_portal;
    // X11: the grabbed key and modifiers; 0 when none.
    unsigned m_keycode = 0;
    unsigned m_modifiers = 0;
    bool m_down = false;             // held: the keyboard's repeats are not new presses
    std::uint32_t m_releasedAt = 0;  // the server's time of the key's last release
    // Wayland: the portal session, and the trigger still to be bound once it is made.
    QString m_session;
    QString m_trigger;
    QString m_requestPath;
};

}  // namespace tolvane
