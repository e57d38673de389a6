#pragma once

#include <map>
#include <string>
#include <vector>

#include "voice/VoicePack.h"

namespace tolvane::fakes {

// Folders of clips in memory: each folder (ending with its separator) and the clip names in it;
// a folder's subfolders are the folders listed one level below it.
class MemorySoundFolders final : public SoundFolders {
public:
    std::vector<std::string> Subfolders(const std::string& folder) override {
        std::vector<std::string> names;
        for (const auto& [path, clips] : folders) {
            const std::string rest = path.substr(0, folder.size()) == folder
                                         ? path.substr(folder.size())
                                         : std::string();
            if (rest.size() > 1 && rest.find(rest.back()) == rest.size() - 1) {
                names.push_back(rest.substr(0, rest.size() - 1));
            }
        }
        return names;
    }
    std::vector<std::string> ClipNames(const std::string& folder) override {
        const auto found = folders.find(folder);
        return found == folders.end() ? std::vector<std::string>() : found->second;
    }

    // A folder holding every clip an announcement needs, and `more`.
    void AddPack(const std::string& folder, std::vector<std::string> more = {}) {
        for (std::string_view clip : PackClips()) more.emplace_back(clip);
        folders[folder] = std::move(more);
    }

    std::map<std::string, std::vector<std::string>> folders;
};

}  // namespace tolvane::fakes
