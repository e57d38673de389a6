#pragma once

#include <windows.h>

#include <shellapi.h>

#include <memory>

#include "app/MainWindowCore.h"
#include "win32/FormAbout.h"
#include "win32/FormAdvert.h"
#include "win32/FormSettings.h"
#include "win32/desktop/Win32FullScreenSignal.h"
#include "win32/desktop/Win32LockSignal.h"
#include "win32/desktop/Win32MicrophoneSignal.h"

namespace tolvane {

// Registered by name: a second copy sends it to the running copy's main window before it
// ends, and the running copy opens its settings dialog.
inline constexpr wchar_t kStartedAgainMessage[] = L"Tolvane started again";

// The hidden main window: its title marks a running copy, it owns the timers, the tray icon
// and its menu, and its life is the program's life. Every decision is the core's.
class Form_Main final : private ShellWindows {
public:
    Form_Main(const ShellServices& services, ProgramPlaces places);
    ~Form_Main() override;
    Form_Main(const Form_Main&) = delete;
    Form_Main& operator=(const Form_Main&) = delete;

    // Creates the window and runs the start-up sequence; false when no window could be made.
    bool Form_Load(HINSTANCE instance);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnTrayMessage(WPARAM wParam, LPARAM lParam);
    void OnMenuCommand(UINT id);
    void AddTrayIcon();

    void SetTimer(MainTimer timer, int intervalMs) override;
    void KillTimer(MainTimer timer) override;
    void ShowTrayIcon() override;
    void SetTrayTooltip(const std::string& text) override;
    void SetMenuChecks(bool announceOff, bool startAtBoot) override;
    void EnableResume(bool enabled) override;
    void PopupTrayMenu() override;
    void SetCurrentFolder(const std::string& path) override;
    void HideMain() override;
    std::uint32_t MainWindowHandle() override;
    bool ShowSettings(SettingsDialog& dialog, bool enabled) override;
    void BringSettingsForward() override;
    void EnableSettings(bool enabled) override;
    void RefreshSettings() override;
    void CloseSettings() override;
    void RunAbout() override;
    void BringAboutForward() override;
    void CloseAbout() override;
    AdvertView* CreateAdvert(AdvertWindowCore& advert) override;
    void CloseAdvert() override;
    void UnloadMain() override;
    void SetTrayIconMuted(bool muted) override;
    void ShowTrayNotice(const TrayNotice& notice) override;
    HotkeyRegistration RegisterHotkey(const Hotkey& hotkey) override;
    void UnregisterHotkey() override;
    std::string HotkeyUnavailableReason() override;
    bool IsHotkeyDown() override;

    // What the core asks about the desktop; it never calls them on its way out.
    Win32LockSignal m_lock;
    Win32FullScreenSignal m_fullScreen;
    Win32MicrophoneSignal m_microphone;
    // Before the windows below, which report to it, so that they are gone before it.
    MainWindowCore m_core;
    HINSTANCE m_instance = nullptr;
    HWND m_hwnd = nullptr;
    UINT m_hotkeyVk = 0;  // the registered key; Wine repeats WM_HOTKEY despite MOD_NOREPEAT
    HMENU m_menu = nullptr;
    HMENU m_pauseMenu = nullptr;  // destroyed with m_menu
    HICON m_trayIcon = nullptr;
    HICON m_mutedIcon = nullptr;
    NOTIFYICONDATAW m_tray{};
    UINT m_taskbarCreated = 0;
    UINT m_startedAgain = 0;
    // Where the next menu opens (the pointer, or the icon when asked by the keyboard), and
    // whether the keyboard asked: the focus then goes back to the notification area.
    POINT m_menuAnchor{};
    bool m_menuByKeyboard = false;
    bool m_rightButtonUp = false;
    bool m_trayShown = false;
    std::unique_ptr<Form_广告> m_advert;
    std::unique_ptr<Form_一般设置> m_settings;
    frmAbout* m_about = nullptr;  // while its modal loop runs
};

}  // namespace tolvane
