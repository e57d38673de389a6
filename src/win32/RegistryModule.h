#pragma once

#include <cstdint>
#include <string>

// 注册表操作: write, read and delete one registry value through the ANSI registry functions.
// Texts are UTF-8 here and go to the registry in the ANSI code page (GBK on Chinese systems);
// string data is stored with one terminating NUL counted in its size.
namespace tolvane::注册表操作 {

// True when the key was created or opened and the value written.
bool SetRegValue(std::uint32_t rootKey, const std::string& keyPath, const std::string& valueName,
                 std::uint32_t valueType, const std::string& data);

// True when the key could be opened; then `valueType` receives the stored type and `data` the
// value's text (empty for a missing value). Environment references of REG_EXPAND_SZ values are
// expanded.
bool GetRegValue(std::uint32_t rootKey, const std::string& keyPath, const std::string& valueName,
                 std::uint32_t& valueType, std::string& data);

// True when the key was opened and the value deleted.
bool DeleteRegValue(std::uint32_t rootKey, const std::string& keyPath,
                    const std::string& valueName);

}  // namespace tolvane::注册表操作
