#include "win32/Win32ProfileStore.h"

#include <windows.h>

#include <vector>

#include "settings/IniText.h"
#include "win32/TextConversion.h"

namespace tolvane {

std::string Win32ProfileStore::GetString(std::string_view section, std::string_view key,
                                         std::string_view defaultValue, std::int32_t size,
                                         const std::string& file) {
    if (size <= 0) return {};
    std::vector<char> buffer(static_cast<std::size_t>(size), '\0');
    const DWORD copied = GetPrivateProfileStringA(
        Utf8ToAnsi(section).c_str(), Utf8ToAnsi(key).c_str(), Utf8ToAnsi(defaultValue).c_str(),
        buffer.data(), static_cast<DWORD>(size), Utf8ToAnsi(file).c_str());
    const std::size_t length = std::min<std::size_t>(copied, buffer.size() - 1);
    return AnsiToUtf8(std::string_view(buffer.data(), length));
}

std::int32_t Win32ProfileStore::GetInt(std::string_view section, std::string_view key,
                                       std::int32_t defaultValue, const std::string& file) {
    return static_cast<std::int32_t>(GetPrivateProfileIntA(Utf8ToAnsi(section).c_str(),
                                                           Utf8ToAnsi(key).c_str(), defaultValue,
                                                           Utf8ToAnsi(file).c_str()));
}

bool Win32ProfileStore::WriteString(std::string_view section, std::string_view key,
                                    std::string_view value, const std::string& file) {
    // The profile functions would store these as broken lines.
    if (!ini::IsStorable(section, key, value)) return false;
    return WritePrivateProfileStringA(Utf8ToAnsi(section).c_str(), Utf8ToAnsi(key).c_str(),
                                      Utf8ToAnsi(value).c_str(), Utf8ToAnsi(file).c_str()) != 0;
}

}  // namespace tolvane
