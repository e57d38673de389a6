#pragma once

#include <string>

namespace tolvane {

// Plays one WAV file to its end before returning, its samples scaled to `volumePercent`
// (0..100; anything else plays at full volume). A file that cannot be played, and the empty
// path, are replaced by the system's alert sound at its usual level; no device at all returns
// at once. Never throws.
class ClipPlayer {
public:
    virtual ~ClipPlayer() = default;
    virtual void PlaySync(const std::string& path, int volumePercent) = 0;
};

}  // namespace tolvane
