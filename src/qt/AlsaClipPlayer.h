#pragma once

#include <string>

#include "voice/ClipPlayer.h"

namespace tolvane {

// Plays PCM WAV clips on ALSA's "default" device, blocking until the clip has been heard. A
// clip that cannot be read plays a short alert tone in its place; without a device it returns
// at once.
class AlsaClipPlayer final : public ClipPlayer {
public:
    explicit AlsaClipPlayer(std::string device = "default");
    void PlaySync(const std::string& path, int volumePercent) override;

private:
    std::string m_device;
};

}  // namespace tolvane
