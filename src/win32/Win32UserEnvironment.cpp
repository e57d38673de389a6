#include "win32/Win32UserEnvironment.h"

#include <windows.h>

#include "win32/TextConversion.h"

namespace tolvane {
namespace {

constexpr DWORD kMaxMarkerBytes = 4096;

std::string Variable(const wchar_t* name) {
    std::wstring value(MAX_PATH, L'\0');
    DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    if (length >= value.size()) {
        value.resize(length);
        length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    }
    value.resize(length < value.size() ? length : 0);
    return WideToUtf8(value);
}

std::optional<std::string> ReadMarker(const std::string& path) {
    const std::wstring wide = Utf8ToWide(path);
    if (GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    // Whatever else is at the marker's name still marks an install.
    std::string text(kMaxMarkerBytes, '\0');
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD read = 0;
    if (file == INVALID_HANDLE_VALUE ||
        !ReadFile(file, text.data(), kMaxMarkerBytes, &read, nullptr)) {
        read = 0;
    }
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    text.resize(read);
    return text;
}

}  // namespace

ProgramPlaces PlacesOf(const ProgramFolder& program) {
    const std::string appData = Variable(L"APPDATA");
    return LocatePlaces(
        program, program.IsKnown() ? ReadMarker(program.Join(kPackageMarkerName)) : std::nullopt,
        {appData, appData, Variable(L"USERPROFILE")});
}

}  // namespace tolvane
