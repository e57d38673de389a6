#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tolvane {

// The three profile-file calls the settings class relies on. Texts are UTF-8; an adapter that
// talks to a narrow-code-page API converts at its own boundary.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;

    // The value of `key`, cut to `size` - 1 bytes, or `defaultValue` when the file, section or
    // key is missing.
    virtual std::string GetString(std::string_view section, std::string_view key,
                                  std::string_view defaultValue, std::int32_t size,
                                  const std::string& file) = 0;

    // The number at the start of the value, or `defaultValue` when the file, section or key is
    // missing or the value is empty.
    virtual std::int32_t GetInt(std::string_view section, std::string_view key,
                                std::int32_t defaultValue, const std::string& file) = 0;

    // Creates file and section as needed; false when nothing was stored.
    virtual bool WriteString(std::string_view section, std::string_view key, std::string_view value,
                             const std::string& file) = 0;
};

}  // namespace tolvane
