#pragma once

#include <windows.h>

#include <shellapi.h>

#include <memory>

#include "app/MainWindowCore.h"
#include "app/ShellWindows.h"
#include "promo/DeferredTasks.h"
#include "win32/FormAbout.h"
#include "win32/FormAdvert.h"
#include "win32/FormSettings.h"

namespace tolvane {

// The hidden main window: its title marks a running copy, it owns the timers, the tray icon
// and its menu, and its life is the program's life.
class Form_Main final : private ShellWindows, private AdvertLoader {
public:
    Form_Main(const ShellServices& services, ProgramFolder folder);
    ~Form_Main() override;
    Form_Main(const Form_Main&) = delete;
    Form_Main& operator=(const Form_Main&) = delete;

    // Creates the window and runs the start-up sequence; false when no window could be made.
    bool Create(HINSTANCE instance);

private:
    enum TimerId : UINT_PTR {
        kTimer更新托盘显示时间 = 1,
        kTimer自动报时 = 2,
        kTimer自动升级 = 3,
        kTimer自动校时 = 4,
    };

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void Form_Load();
    void Render(const ShellState& state);
    void ArmAnnounceTimer();
    void OnTimer(UINT_PTR id);
    void OnTrayMessage(LPARAM mouseMessage);
    void OnMenuCommand(UINT id);
    void ShowTrayMenu();
    void AddTrayIcon();
    void SetTrayTooltip(const std::string& text);
    void ShowSettings();
    void ShowAbout();

    bool IsSettingsOpen() override;
    void CloseSettings() override;
    bool IsAboutOpen() override;
    void CloseAbout() override;
    void UnloadMain() override;
    void SetAdvertOpenPageOnClose(bool open) override;
    bool IsAdvertOpen() override;
    void CloseAdvert() override;
    void LoadAdvert() override;

    MainWindowCore m_core;
    MessagePump& m_pump;
    std::unique_ptr<Form_广告> m_advert;
    HINSTANCE m_instance = nullptr;
    HWND m_hwnd = nullptr;
    HMENU m_menu = nullptr;
    HICON m_trayIcon = nullptr;
    NOTIFYICONDATAW m_tray{};
    UINT m_taskbarCreated = 0;
    bool m_announceTimerOn = false;
    bool m_syncTimerOn = false;
    std::unique_ptr<Form_一般设置> m_settings;
    frmAbout* m_about = nullptr;  // while its modal loop runs
};

}  // namespace tolvane
