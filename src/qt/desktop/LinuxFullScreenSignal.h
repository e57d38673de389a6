#pragma once

#include <cstdint>

#include "base/DesktopSignals.h"

namespace tolvane {

// A full-screen window in front, on X11: the window manager's active window
// (_NET_ACTIVE_WINDOW) in the _NET_WM_STATE_FULLSCREEN state. Wayland tells other programs
// nothing of the kind, and there it stays unknown: do-not-disturb stands in for it.
class LinuxFullScreenSignal final : public SingleStateSignal {
public:
    void Refresh() override;

private:
    std::uint32_t m_atoms[3] = {};  // _NET_ACTIVE_WINDOW, _NET_WM_STATE, ..._FULLSCREEN
};

}  // namespace tolvane
