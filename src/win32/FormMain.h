#pragma once

#include <windows.h>

#include <memory>

#include "app/MainWindowCore.h"

namespace tolvane {

inline constexpr char kMainWindowTitle[] = "Tolvane Ver:3.0.0.0";

// The hidden main window: its title marks a running copy, it owns the timers, and its life is
// the program's life.
class Form_Main {
public:
    Form_Main(const ShellServices& services, ProgramFolder folder);
    ~Form_Main();
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

    MainWindowCore m_core;
    HWND m_hwnd = nullptr;
    bool m_announceTimerOn = false;
    bool m_syncTimerOn = false;
};

}  // namespace tolvane
