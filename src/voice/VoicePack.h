#pragma once

#include <optional>
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
    // Whether ClipNames(folder) would hold `name`, asked without listing the folder.
    virtual bool HasClip(const std::string& folder, const std::string& name) = 0;
};

// Where voices are found, each folder ending with its separator: `sound` (Sound beside the
// program) holds the default voice and packs in its subfolders; `own` (empty when there is
// none) holds the user's own packs, which are looked for first.
struct VoicePlaces {
    std::string sound;
    std::string own = {};
};

// A folder of clips as the 声音 list shows it: its name and the word clips it lacks, none for a
// whole pack.
struct VoiceFolder {
    std::string name;
    std::vector<std::string> missing = {};
    friend bool operator==(const VoiceFolder&, const VoiceFolder&) = default;
};

// The list looks into at most this many folders, the first by name, and the chosen one.
inline constexpr std::size_t kMaxVoiceFolders = 100;

// Every word clip an announcement can ask for, the chime first (a locale's own half-day
// designator aside, see HalfDayWord). A folder holding all of them is a voice pack.
std::span<const std::string_view> PackClips();

// A pack's folder, ending with its separator, and the names of the clips in it.
struct VoicePack {
    std::string folder;
    std::set<std::string> clips;
};

// The pack `name` (the 语音包 setting): the first folder of that name, the user's own first,
// that holds every clip of PackClips. Empty, a name with ".." or a separator, a missing or an
// incomplete folder: the sound folder itself, whatever it holds. Without `folders` no folder is
// looked into and the sound folder holds no clip known by name.
VoicePack ChoosePack(SoundFolders* folders, const VoicePlaces& places, std::string_view name);

// Nothing when `name` is the default voice or a whole pack; else the clips of PackClips that its
// folder lacks (the first folder of that name holding any), all of them when none does.
std::optional<std::vector<std::string>> MissingClips(SoundFolders* folders,
                                                     const VoicePlaces& places,
                                                     std::string_view name);

// The folders holding any clip of PackClips, whole packs first, each part sorted by name; found
// by asking for each clip by name, in at most kMaxVoiceFolders folders and `chosen`.
std::vector<VoiceFolder> FindVoices(SoundFolders* folders, const VoicePlaces& places,
                                    std::string_view chosen = {});

// Clips named for a reader: "三.wav、七.wav", the first few, then how many more.
std::string ClipListText(const std::vector<std::string>& clips);

// The paths of the clips that speak `words` from `pack`: from the left, the longest run of two
// or more words that the pack has one clip for (named by the words together, 五点.wav), else
// the word's own clip. Without a folder every clip is the empty path.
std::vector<std::string> ClipPaths(const std::vector<std::string>& words, const VoicePack& pack);

}  // namespace tolvane
