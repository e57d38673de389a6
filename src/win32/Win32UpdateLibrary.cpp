#include "win32/Win32UpdateLibrary.h"

#include <windows.h>

#include "win32/TextConversion.h"

namespace tolvane {
namespace {

using DoUpdateEntry = void(WINAPI*)(std::uint32_t window, const char* address);

// "C:\..." or "\\server\...": anything else would be looked up relative to somewhere.
bool IsFullPath(const std::wstring& path) {
    const bool drive = path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
    const bool share = path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\';
    return drive || share;
}

}  // namespace

Win32UpdateLibrary::Win32UpdateLibrary(const ProgramFolder& folder)
    : m_path(Utf8ToWide(folder.Join("update.dll"))) {}

void Win32UpdateLibrary::DoUpdate(std::uint32_t window, const std::string& address) {
    if (!IsFullPath(m_path)) return;
    // Its own dependencies are looked for beside it first, as for the program itself. A missing
    // file is simply not loaded.
    HMODULE library = LoadLibraryExW(m_path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (library == nullptr) return;
    auto entry = reinterpret_cast<DoUpdateEntry>(
        reinterpret_cast<void*>(GetProcAddress(library, "DoUpdate")));
    if (entry == nullptr) {
        FreeLibrary(library);
        return;
    }
    const std::string narrow = Utf8ToAnsi(address);
    entry(window, narrow.c_str());
}

}  // namespace tolvane
