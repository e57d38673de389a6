#pragma once

#include <windows.h>

#include "base/DesktopSignals.h"

namespace tolvane {

// The session locked, or the screen saver running: the session's state at start, then its
// lock and unlock messages (WM_WTSSESSION_CHANGE); the screen saver asked at each look.
class Win32LockSignal final : public DesktopSignalSource {
public:
    Win32LockSignal() = default;
    ~Win32LockSignal() override;
    Win32LockSignal(const Win32LockSignal&) = delete;
    Win32LockSignal& operator=(const Win32LockSignal&) = delete;

    // Asks for `window` to be sent the session's changes; before the window is destroyed,
    // Detach.
    void Attach(HWND window);
    void Detach();
    // A WM_WTSSESSION_CHANGE's wParam.
    void OnSessionChange(WPARAM change);

    void Refresh() override;
    SignalState State() const override { return AnyOn({m_locked, m_saver}); }

private:
    HMODULE m_wtsapi = nullptr;
    HWND m_window = nullptr;
    SignalState m_locked = SignalState::Unknown;
    SignalState m_saver = SignalState::Unknown;
};

}  // namespace tolvane
