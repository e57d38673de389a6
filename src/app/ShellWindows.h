#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "app/Hotkey.h"
#include "promo/AdvertWindowCore.h"
#include "settings/SettingsDialog.h"

namespace tolvane {

// The hidden main window's timers; Timer_试听 fires once for a preview of the 高级设置 page.
enum class MainTimer {
    Timer_更新托盘显示时间,
    Timer_自动报时,
    Timer_自动升级,
    Timer_自动校时,
    Timer_试听
};
inline constexpr std::array<MainTimer, 5> kMainTimers{
    MainTimer::Timer_更新托盘显示时间, MainTimer::Timer_自动报时, MainTimer::Timer_自动升级,
    MainTimer::Timer_自动校时, MainTimer::Timer_试听};

enum class HotkeyRegistration { Registered, Taken, Unavailable };

enum class NoticeKind { Info, Warning };
// A notification from the tray icon: a balloon on Windows, the desktop's notification on Linux.
struct TrayNotice {
    std::string title;
    std::string text;
    NoticeKind kind = NoticeKind::Info;

    friend bool operator==(const TrayNotice&, const TrayNotice&) = default;
};

// What the main window's platform shell does for the core: it owns the timers, the tray icon
// and the windows, shows what the core decides, and reports its events back to the core.
class ShellWindows {
public:
    virtual ~ShellWindows() = default;

    // The timer ticks `intervalMs` from now and then every `intervalMs`, until it is set again
    // or killed.
    virtual void SetTimer(MainTimer timer, int intervalMs) = 0;
    virtual void KillTimer(MainTimer timer) = 0;

    virtual void ShowTrayIcon() = 0;
    virtual void SetTrayTooltip(const std::string& text) = 0;
    virtual void SetMenuChecks(bool announceOff, bool startAtBoot) = 0;
    // 继续报时 is greyed unless a pause runs (as it is when the menu is made).
    virtual void EnableResume(bool enabled) = 0;
    // Opens the tray menu at the mouse; the chosen entry comes back as a menu command.
    virtual void PopupTrayMenu() = 0;

    virtual void SetCurrentFolder(const std::string& path) = 0;
    virtual void HideMain() = 0;
    // The handle handed to the update library; 0 where there is no native one.
    virtual std::uint32_t MainWindowHandle() = 0;

    // Creates Form_一般设置 over the dialog's logic, loads and shows it; false when the window
    // could not be made. The form forwards its events to `dialog` and closes itself once the
    // dialog is no longer open.
    virtual bool ShowSettings(SettingsDialog& dialog, bool enabled) = 0;
    virtual void BringSettingsForward() = 0;
    virtual void EnableSettings(bool enabled) = 0;
    // The open settings dialog shows its logic's state again, after a change from elsewhere.
    virtual void RefreshSettings() = 0;
    virtual void CloseSettings() = 0;

    // Shows frmAbout and returns once it has closed; the tray keeps working meanwhile, so the
    // core is re-entered from inside.
    virtual void RunAbout() = 0;
    virtual void BringAboutForward() = 0;
    virtual void CloseAbout() = 0;

    // Creates the advert window, hidden, reporting its events to `advert`; null when it could
    // not be made.
    virtual AdvertView* CreateAdvert(AdvertWindowCore& advert) = 0;
    virtual void CloseAdvert() = 0;

    // Removes the tray icon, stops the timers and ends the message loop.
    virtual void UnloadMain() = 0;

    // The tray icon's picture: the muted variant while scheduled announcements are off.
    virtual void SetTrayIconMuted(bool muted) = 0;
    virtual void ShowTrayNotice(const TrayNotice& notice) = 0;
    // Registers the program's one global hotkey (the core unregisters the previous one first);
    // its presses come back as MainWindowCore::OnHotkey. Taken: another program holds the
    // combination, and nothing was registered.
    virtual HotkeyRegistration RegisterHotkey(const Hotkey& hotkey) = 0;
    virtual void UnregisterHotkey() = 0;
    // Why this desktop gives the program no global hotkey; empty where it does.
    virtual std::string HotkeyUnavailableReason() = 0;
    // Whether the registered hotkey's key is down now. A shell that never passes on the
    // keyboard's repeats may answer false.
    virtual bool IsHotkeyDown() = 0;
};

}  // namespace tolvane
