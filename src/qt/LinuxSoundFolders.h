#pragma once

#include "voice/VoicePack.h"

namespace tolvane {

// The folders of clips as the file system holds them; names are the bytes on disk (UTF-8). A
// link to a folder or a file counts as what it points to.
class LinuxSoundFolders final : public SoundFolders {
public:
    std::vector<std::string> Subfolders(const std::string& folder) override;
    std::vector<std::string> ClipNames(const std::string& folder) override;
    bool HasClip(const std::string& folder, const std::string& name) override;
};

}  // namespace tolvane
