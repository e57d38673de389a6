#include "win32/desktop/Win32FullScreenSignal.h"

#include <windows.h>

#include <shellapi.h>

#include <cwchar>

namespace tolvane {
namespace {

bool IsShellWindow(HWND window) {
    if (window == GetDesktopWindow() || window == GetShellWindow()) return true;
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    for (const wchar_t* shell : {L"Progman", L"WorkerW", L"Shell_TrayWnd"}) {
        if (std::wcscmp(name, shell) == 0) return true;
    }
    return false;
}

bool ForegroundCoversItsMonitor() {
    HWND window = GetForegroundWindow();
    if (window == nullptr || IsShellWindow(window) || !IsWindowVisible(window)) return false;
    RECT rect{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetWindowRect(window, &rect) ||
        !GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONULL), &monitor)) {
        return false;
    }
    const RECT& screen = monitor.rcMonitor;
    return rect.left <= screen.left && rect.top <= screen.top && rect.right >= screen.right &&
           rect.bottom >= screen.bottom;
}

}  // namespace

void Win32FullScreenSignal::Refresh() {
    // Looked up, so that the program starts where it is missing.
    using Query = HRESULT(WINAPI*)(QUERY_USER_NOTIFICATION_STATE*);
    static const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"shell32.dll"), "SHQueryUserNotificationState")));
    QUERY_USER_NOTIFICATION_STATE state{};
    if (query != nullptr && SUCCEEDED(query(&state))) {
        switch (state) {
            case QUNS_BUSY:
            case QUNS_RUNNING_D3D_FULL_SCREEN:
            case QUNS_PRESENTATION_MODE:
            case QUNS_APP:
                m_state = SignalState::On;
                return;
            default:
                break;
        }
    }
    m_state = ForegroundCoversItsMonitor() ? SignalState::On : SignalState::Off;
}

}  // namespace tolvane
