#pragma once

#include <functional>
#include <string>
#include <vector>

#include "voice/ClipPlayer.h"

namespace tolvane::fakes {

// Records every clip path and its volume; optionally runs a hook while a clip "plays".
class RecordingClipPlayer final : public ClipPlayer {
public:
    void PlaySync(const std::string& path, int volumePercent) override {
        played.push_back(path);
        volumes.push_back(volumePercent);
        if (whilePlaying) whilePlaying(path);
    }

    // The clip words without folder and ".wav".
    std::vector<std::string> Words(const std::string& folder) const {
        std::vector<std::string> words;
        for (const std::string& path : played) {
            std::string word = path.substr(0, path.size() - 4);
            if (word.rfind(folder, 0) == 0) word.erase(0, folder.size());
            words.push_back(word);
        }
        return words;
    }

    std::vector<std::string> played;
    std::vector<int> volumes;
    std::function<void(const std::string&)> whilePlaying;
};

}  // namespace tolvane::fakes
