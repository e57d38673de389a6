#pragma once

#include "base/DesktopSignals.h"

namespace tolvane {

// The microphone in use, from the privacy store Windows keeps of it: an app whose last use has
// no end (LastUsedTimeStop 0) holds it now. Where the store is missing, unknown.
class Win32MicrophoneSignal final : public SingleStateSignal {
public:
    void Refresh() override;
};

}  // namespace tolvane
