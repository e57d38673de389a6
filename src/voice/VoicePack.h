#pragma once

#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tolvane {

// What the platform tells of the folders of clips. Never throws: a folder that is missing or
// cannot be read holds nothing.
class SoundFolders {
public:
    virtual ~SoundFolders() = default;
    // The names of the folders directly inside `folder` (which ends with its separator).
    virtual std::vector<std::string> Subfolders(const std::string& folder) = 0;
    // The names, without ".wav", of the WAV files directly inside `folder`.
    virtual std::vector<std::string> ClipNames(const std::string& folder) = 0;
};

// Every word clip an announcement can ask for, the chime first (a locale's own half-day
// designator aside, see HalfDayWord). A folder holding all of them is a voice pack.
std::span<const std::string_view> PackClips();

// A pack's folder, ending with its separator, and the names of the clips in it.
struct VoicePack {
    std::string folder;
    std::set<std::string> clips;
};

// The pack `name` (the 语音包 setting): the subfolder of `soundFolder` of that name when it holds
// every clip of PackClips. Empty, a name with ".." or a separator, a missing or an incomplete
// folder: the sound folder itself, whatever it holds. Without `folders` no folder is looked
// into and the sound folder holds no clip known by name.
VoicePack ChoosePack(SoundFolders* folders, const std::string& soundFolder, std::string_view name);

// The names of the subfolders of `soundFolder` that are packs, sorted.
std::vector<std::string> FindPacks(SoundFolders* folders, const std::string& soundFolder);

// The paths of the clips that speak `words` from `pack`: from the left, the longest run of two
// or more words that the pack has one clip for (named by the words together, 五点.wav), else
// the word's own clip. Without a folder every clip is the empty path.
std::vector<std::string> ClipPaths(const std::vector<std::string>& words, const VoicePack& pack);

}  // namespace tolvane
