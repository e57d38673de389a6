#pragma once

#include <cstdint>
#include <string>

namespace tolvane {

// The per-user store that starts programs at logon, in the shape of the registry module
// 注册表操作: one string value under a key. Texts are UTF-8; adapters convert at their own
// boundary. Results are true on success and are ignored by the start-at-boot operations.
class AutostartStore {
public:
    virtual ~AutostartStore() = default;

    // Creates the key as needed and writes the value with the given type.
    virtual bool SetRegValue(std::uint32_t rootKey, const std::string& keyPath,
                             const std::string& valueName, std::uint32_t valueType,
                             const std::string& data) = 0;

    // True when the key could be opened. Then `valueType` receives the stored type and `data`
    // its text (empty for a missing value); otherwise both stay as passed.
    virtual bool GetRegValue(std::uint32_t rootKey, const std::string& keyPath,
                             const std::string& valueName, std::uint32_t& valueType,
                             std::string& data) = 0;

    virtual bool DeleteRegValue(std::uint32_t rootKey, const std::string& keyPath,
                                const std::string& valueName) = 0;
};

}  // namespace tolvane
