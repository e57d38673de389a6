#include "win32/RegistryModule.h"

#include <windows.h>

#include "autostart/RegistryValueText.h"
#include "win32/TextConversion.h"

namespace tolvane::注册表操作 {
namespace {

// Predefined keys are sign-extended 32-bit values, as the HKEY_* macros make them.
HKEY RootHandle(std::uint32_t rootKey) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(rootKey)));
}

std::string ExpandEnvironmentAnsi(const std::string& source, std::size_t bufferChars) {
    std::string buffer(bufferChars, '\0');
    ExpandEnvironmentStringsA(source.c_str(), buffer.data(), static_cast<DWORD>(bufferChars));
    return buffer;
}

}  // namespace

bool SetRegValue(std::uint32_t rootKey, const std::string& keyPath, const std::string& valueName,
                 std::uint32_t valueType, const std::string& data) {
    const std::string bytes = Utf8ToAnsi(data) + '\0';
    HKEY key = nullptr;
    bool written = false;
    if (RegCreateKeyA(RootHandle(rootKey), Utf8ToAnsi(keyPath).c_str(), &key) == ERROR_SUCCESS) {
        written = RegSetValueExA(key, Utf8ToAnsi(valueName).c_str(), 0, valueType,
                                 reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
    }
    if (key != nullptr) RegCloseKey(key);
    return written;
}

bool GetRegValue(std::uint32_t rootKey, const std::string& keyPath, const std::string& valueName,
                 std::uint32_t& valueType, std::string& data) {
    HKEY key = nullptr;
    if (RegOpenKeyA(RootHandle(rootKey), Utf8ToAnsi(keyPath).c_str(), &key) != ERROR_SUCCESS) {
        if (key != nullptr) RegCloseKey(key);
        return false;
    }
    const std::string name = Utf8ToAnsi(valueName);
    DWORD type = valueType;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        data.clear();
        RegCloseKey(key);
        return true;
    }
    valueType = type;
    std::string stored(size, '\0');
    DWORD read = size;
    if (size == 0 ||
        RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(stored.data()),
                         &read) != ERROR_SUCCESS) {
        stored.clear();  // changed in between: read as empty rather than half
    } else {
        stored.resize(read);
    }
    data = AnsiToUtf8(RegValueText(valueType, stored, Utf8ToAnsi(data), ExpandEnvironmentAnsi));
    RegCloseKey(key);
    return true;
}

bool DeleteRegValue(std::uint32_t rootKey, const std::string& keyPath,
                    const std::string& valueName) {
    HKEY key = nullptr;
    bool deleted = false;
    if (RegOpenKeyA(RootHandle(rootKey), Utf8ToAnsi(keyPath).c_str(), &key) == ERROR_SUCCESS) {
        deleted = RegDeleteValueA(key, Utf8ToAnsi(valueName).c_str()) == ERROR_SUCCESS;
    }
    if (key != nullptr) RegCloseKey(key);
    return deleted;
}

}  // namespace tolvane::注册表操作
