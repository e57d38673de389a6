#pragma once

#include "base/DesktopSignals.h"

namespace tolvane {

// A full-screen program or a presentation in front: what the shell tells programs about
// notifications (busy, Direct3D full screen, presentation mode, a store app), and where it says
// nothing more (Wine always accepts notifications), the foreground window covering its monitor.
class Win32FullScreenSignal final : public SingleStateSignal {
public:
    void Refresh() override;
};

}  // namespace tolvane
