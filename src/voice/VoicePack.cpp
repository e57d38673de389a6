#include "voice/VoicePack.h"

#include <algorithm>
#include <array>
#include <map>

namespace tolvane {
namespace {

// The last six are asked for by the natural phrasing only.
constexpr std::array<std::string_view, 29> kPackClips{
    "提示", "现在时间", "上午", "下午", "零",   "一",   "二",   "三",   "四",     "五",
    "六",   "七",       "八",   "九",   "十",   "点",   "分",   "整",   "今天是", "年",
    "月",   "日",       "星期", "两",   "凌晨", "早上", "中午", "晚上", "半",
};

bool IsPackName(std::string_view name) {
    // A bare folder name: nothing that climbs out of the sound folder or into another one
    // (a drive-relative "C:x" included).
    return !name.empty() && name != "." && name.find("..") == std::string_view::npos &&
           name.find_first_of("/\\:") == std::string_view::npos;
}

std::set<std::string> ClipsIn(SoundFolders& folders, const std::string& folder) {
    const std::vector<std::string> names = folders.ClipNames(folder);
    return {names.begin(), names.end()};
}

bool HoldsEveryClip(const std::set<std::string>& clips) {
    return std::all_of(kPackClips.begin(), kPackClips.end(),
                       [&](std::string_view word) { return clips.contains(std::string(word)); });
}

// The folders a pack of that name may be in, the user's own first.
std::vector<std::string> PackFolders(const VoicePlaces& places, std::string_view name) {
    std::vector<std::string> folders;
    for (const std::string* root : {&places.own, &places.sound}) {
        if (!root->empty()) folders.push_back(*root + std::string(name) + root->back());
    }
    return folders;
}

// Nothing when one of `folders` is a whole pack; else what the first holding any clip lacks,
// every clip when none holds any.
std::optional<std::vector<std::string>> MissingIn(SoundFolders& sound,
                                                  const std::vector<std::string>& folders) {
    std::vector<std::string> all(kPackClips.begin(), kPackClips.end());
    std::optional<std::vector<std::string>> first;
    for (const std::string& folder : folders) {
        std::vector<std::string> missing;
        for (const std::string& clip : all) {
            if (!sound.HasClip(folder, clip)) missing.push_back(clip);
        }
        if (missing.empty()) return std::nullopt;
        if (!first && missing.size() < all.size()) first = std::move(missing);
    }
    return first ? first : all;
}

// Shown a clip at a time; a long list says how many more.
constexpr std::size_t kClipsNamed = 8;

}  // namespace

std::span<const std::string_view> PackClips() {
    return kPackClips;
}

VoicePack ChoosePack(SoundFolders* folders, const VoicePlaces& places, std::string_view name) {
    if (folders == nullptr || places.sound.empty()) return {places.sound, {}};
    if (IsPackName(name)) {
        for (std::string& folder : PackFolders(places, name)) {
            VoicePack pack{std::move(folder), {}};
            pack.clips = ClipsIn(*folders, pack.folder);
            if (HoldsEveryClip(pack.clips)) return pack;
        }
    }
    return {places.sound, ClipsIn(*folders, places.sound)};
}

std::optional<std::vector<std::string>> MissingClips(SoundFolders* folders,
                                                     const VoicePlaces& places,
                                                     std::string_view name) {
    if (name.empty() || folders == nullptr || places.sound.empty()) return std::nullopt;
    if (!IsPackName(name)) return std::vector<std::string>(kPackClips.begin(), kPackClips.end());
    return MissingIn(*folders, PackFolders(places, name));
}

std::vector<VoiceFolder> FindVoices(SoundFolders* folders, const VoicePlaces& places,
                                    std::string_view chosen) {
    std::vector<VoiceFolder> whole;
    std::vector<VoiceFolder> partial;
    if (folders == nullptr || places.sound.empty()) return whole;
    // Each name with the folders of that name, the user's own first.
    std::map<std::string, std::vector<std::string>> named;
    for (const std::string* root : {&places.own, &places.sound}) {
        if (root->empty()) continue;
        for (const std::string& name : folders->Subfolders(*root)) {
            if (IsPackName(name)) named[name].push_back(*root + name + root->back());
        }
    }
    // Asked by name, clip by clip: a folder of hundreds of phrase clips costs no more than
    // one of the words alone, and thousands of folders are not looked into at all.
    std::size_t looked = 0;
    for (const auto& [name, paths] : named) {
        if (looked == kMaxVoiceFolders && name != chosen) continue;
        if (name != chosen) ++looked;
        std::optional<std::vector<std::string>> missing = MissingIn(*folders, paths);
        if (!missing) {
            whole.push_back({name, {}});
        } else if (missing->size() < kPackClips.size()) {
            partial.push_back({name, std::move(*missing)});
        }
    }
    whole.insert(whole.end(), partial.begin(), partial.end());
    return whole;
}

std::string ClipListText(const std::vector<std::string>& clips) {
    std::string text;
    for (std::size_t i = 0; i < clips.size() && i < kClipsNamed; ++i) {
        text += (i == 0 ? "" : "、") + clips[i] + ".wav";
    }
    if (clips.size() > kClipsNamed) {
        text += " 等 " + std::to_string(clips.size()) + " 个";
    }
    return text;
}

std::vector<std::string> ClipPaths(const std::vector<std::string>& words, const VoicePack& pack) {
    std::vector<std::string> paths;
    for (std::size_t first = 0; first < words.size();) {
        std::string clip = words[first];
        std::size_t end = first + 1;
        for (std::size_t last = words.size(); !pack.folder.empty() && last > first + 1; --last) {
            std::string run;
            for (std::size_t i = first; i < last; ++i) run += words[i];
            if (pack.clips.contains(run)) {
                clip = std::move(run);
                end = last;
                break;
            }
        }
        paths.push_back(pack.folder.empty() ? std::string() : pack.folder + clip + ".wav");
        first = end;
    }
    return paths;
}

}  // namespace tolvane
