#pragma once

#include <cstdint>
#include <string_view>

#include "app/ShellWindows.h"

// How the Linux desktop shows the program: which tray protocol carries the icon, where notices
// go, and when the user is told that there is nowhere to show the icon at all.
namespace tolvane {

enum class TrayPath { StatusNotifier, XEmbed, None };

// A StatusNotifierWatcher wins over an XEmbed tray: its hosts show the exported menu and the
// desktop's own notifications, and on Wayland it is the only tray there is.
TrayPath ChooseTrayPath(bool watcherOnBus, bool xembedTray);

enum class NoticeRoute { NotificationServer, TrayBalloon, StandardError };

// The desktop's notification server whenever one answers, so that its history and
// do-not-disturb apply; the tray's own balloon only where XEmbed can draw one.
NoticeRoute ChooseNoticeRoute(TrayPath path, bool notificationServer);

// org.freedesktop.Notifications urgency byte and the timeout we ask for.
struct NoticeStyle {
    std::uint8_t urgency;
    int timeoutMs;

    friend bool operator==(const NoticeStyle&, const NoticeStyle&) = default;
};
NoticeStyle StyleOfNotice(NoticeKind kind);

// How long after start a tray may take to appear before the user is told there is none.
inline constexpr int kNoTrayGraceMs = 10000;

// Once a run, and only while no tray shows the icon.
bool ShouldSayNoTray(TrayPath path, bool alreadySaid);

extern const TrayNotice kNoTrayNotice;
inline constexpr std::string_view kNoTrayStderrLine =
    "tolvane: this desktop shows no notification area, so the tray icon cannot be seen; Tolvane "
    "keeps announcing the time and answers its hotkey. On GNOME, the AppIndicator extension "
    "(gnome-shell-extension-appindicator) gives it one.\n";

}  // namespace tolvane
