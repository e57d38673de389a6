#include "voice/VoicePack.h"

#include <algorithm>
#include <array>

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

}  // namespace

std::span<const std::string_view> PackClips() {
    return kPackClips;
}

VoicePack ChoosePack(SoundFolders* folders, const std::string& soundFolder, std::string_view name) {
    if (folders == nullptr || soundFolder.empty()) return {soundFolder, {}};
    if (IsPackName(name)) {
        VoicePack pack{soundFolder + std::string(name) + soundFolder.back(), {}};
        pack.clips = ClipsIn(*folders, pack.folder);
        if (HoldsEveryClip(pack.clips)) return pack;
    }
    return {soundFolder, ClipsIn(*folders, soundFolder)};
}

std::vector<std::string> FindPacks(SoundFolders* folders, const std::string& soundFolder) {
    std::vector<std::string> packs;
    if (folders == nullptr || soundFolder.empty()) return packs;
    for (std::string& name : folders->Subfolders(soundFolder)) {
        if (IsPackName(name) &&
            HoldsEveryClip(ClipsIn(*folders, soundFolder + name + soundFolder.back()))) {
            packs.push_back(std::move(name));
        }
    }
    std::sort(packs.begin(), packs.end());
    return packs;
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
