#pragma once

#include "voice/VoicePack.h"

namespace tolvane {

// The folders of clips through FindFirstFileW: names in UTF-8 from the file system's UTF-16,
// so any name on disk comes through whatever the ANSI code page.
class Win32SoundFolders final : public SoundFolders {
public:
    std::vector<std::string> Subfolders(const std::string& folder) override;
    std::vector<std::string> ClipNames(const std::string& folder) override;
    bool HasClip(const std::string& folder, const std::string& name) override;
};

}  // namespace tolvane
