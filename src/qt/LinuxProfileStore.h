#pragma once

#include <optional>
#include <string>

#include "settings/ProfileStore.h"

namespace tolvane {

// The settings file on Linux: UTF-8 text, read whole, every write atomic (temporary file in
// the same folder, flushed, renamed over the old one).
class LinuxProfileStore final : public ProfileStore {
public:
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue, std::int32_t size,
                          const std::string& file) override;
    std::int32_t GetInt(std::string_view section, std::string_view key, std::int32_t defaultValue,
                        const std::string& file) override;
    bool WriteString(std::string_view section, std::string_view key, std::string_view value,
                     const std::string& file) override;

    // Larger files are not settings files; they read as missing and are never rewritten.
    static constexpr std::size_t kMaxFileBytes = 16u << 20;

    enum class ReadStatus { Ok, Missing, Unusable };
    // The file's bytes; Missing when it does not exist, Unusable when it cannot be read or is
    // not a settings file we can safely rewrite.
    static ReadStatus ReadFile(const std::string& path, std::string& text);
};

}  // namespace tolvane
