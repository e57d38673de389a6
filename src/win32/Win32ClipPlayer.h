#pragma once

#include "voice/ClipPlayer.h"

namespace tolvane {

class Win32ClipPlayer final : public ClipPlayer {
public:
    void PlaySync(const std::string& path) override;
};

}  // namespace tolvane
