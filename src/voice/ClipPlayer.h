#pragma once

#include <string>

namespace tolvane {

// Plays one WAV file to its end before returning. A file that cannot be played, and the empty
// path, are replaced by the system's alert sound; no device at all returns at once. Never
// throws.
class ClipPlayer {
public:
    virtual ~ClipPlayer() = default;
    virtual void PlaySync(const std::string& path) = 0;
};

}  // namespace tolvane
