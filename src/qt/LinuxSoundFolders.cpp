#include "qt/LinuxSoundFolders.h"

#include <sys/stat.h>

#include <filesystem>

namespace tolvane {
namespace {

constexpr std::string_view kWav = ".wav";

// The entries of `folder` that are folders (or, with `folders` false, regular files). Every
// error ends the listing quietly with what it has.
template <typename Take>
void List(const std::string& folder, bool folders, Take take) {
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        std::error_code ignored;
        const bool match =
            folders ? entries->is_directory(ignored) : entries->is_regular_file(ignored);
        if (match) take(entries->path().filename().string());
    }
}

}  // namespace

std::vector<std::string> LinuxSoundFolders::Subfolders(const std::string& folder) {
    std::vector<std::string> names;
    List(folder, true, [&](std::string name) { names.push_back(std::move(name)); });
    return names;
}

std::vector<std::string> LinuxSoundFolders::ClipNames(const std::string& folder) {
    std::vector<std::string> names;
    List(folder, false, [&](std::string name) {
        // Exactly ".wav": the player opens the clip by that name, and case tells names apart here.
        if (name.size() > kWav.size() && name.ends_with(kWav)) {
            name.resize(name.size() - kWav.size());
            names.push_back(std::move(name));
        }
    });
    return names;
}

bool LinuxSoundFolders::HasClip(const std::string& folder, const std::string& name) {
    struct stat clip {};
    return ::stat((folder + name + std::string(kWav)).c_str(), &clip) == 0 && S_ISREG(clip.st_mode);
}

}  // namespace tolvane
