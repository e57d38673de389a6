#pragma once

#include "voice/ClipPlayer.h"

namespace tolvane {

// Reads each clip file once, checks it with the portable WAV parser and plays 16-bit PCM made
// from its samples at the asked volume; a missing or refused clip plays the system's default
// sound instead.
class Win32ClipPlayer final : public ClipPlayer {
public:
    void PlaySync(const std::string& path, int volumePercent) override;
};

}  // namespace tolvane
