#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "voice/VoicePack.h"

namespace tolvane::fakes {

// Folders of clips in memory, each (ending with its separator) with the clip names in it.
class MemorySoundFolders final : public SoundFolders {
public:
    std::vector<std::string> Subfolders(const std::string& folder) override {
        std::vector<std::string> names;
        for (const auto& [path, clips] : folders) {
            const std::string rest = path.starts_with(folder) ? path.substr(folder.size()) : "";
            if (rest.size() > 1 && rest.find(rest.back()) == rest.size() - 1) {
                names.push_back(rest.substr(0, rest.size() - 1));
            }
        }
        return names;
    }
    std::vector<std::string> ClipNames(const std::string& folder) override {
        return folders[folder];
    }
    bool HasClip(const std::string& folder, const std::string& name) override {
        return std::ranges::count(folders[folder], name) > 0;
    }

    // A folder holding every clip an announcement needs, and `more`.
    void AddPack(const std::string& folder, std::vector<std::string> more = {}) {
        more.insert(more.end(), PackClips().begin(), PackClips().end());
        folders[folder] = std::move(more);
    }

    std::map<std::string, std::vector<std::string>> folders;
};

}  // namespace tolvane::fakes
