#include "win32/Win32SoundFolders.h"

#include <windows.h>

#include "win32/TextConversion.h"

namespace tolvane {
namespace {

constexpr std::wstring_view kWav = L".wav";

template <typename Take>
void List(const std::string& folder, Take take) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((Utf8ToWide(folder) + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        take(found);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace

std::vector<std::string> Win32SoundFolders::Subfolders(const std::string& folder) {
    std::vector<std::string> names;
    List(folder, [&](const WIN32_FIND_DATAW& found) {
        const std::wstring_view name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && name != L"." &&
            name != L"..") {
            names.push_back(WideToUtf8(name));
        }
    });
    return names;
}

std::vector<std::string> Win32SoundFolders::ClipNames(const std::string& folder) {
    std::vector<std::string> names;
    List(folder, [&](const WIN32_FIND_DATAW& found) {
        const std::wstring_view name = found.cFileName;
        // The file system ignores the case of the ending, and so does the player's open.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && name.size() > kWav.size() &&
            CompareStringOrdinal(name.data() + name.size() - kWav.size(),
                                 static_cast<int>(kWav.size()), kWav.data(),
                                 static_cast<int>(kWav.size()), TRUE) == CSTR_EQUAL) {
            names.push_back(WideToUtf8(name.substr(0, name.size() - kWav.size())));
        }
    });
    return names;
}

bool Win32SoundFolders::HasClip(const std::string& folder, const std::string& name) {
    const DWORD attributes =
        GetFileAttributesW((Utf8ToWide(folder + name) + std::wstring(kWav)).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace tolvane
