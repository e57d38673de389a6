#pragma once

#include <optional>
#include <string>
#include <utility>

#include "settings/ProfileStore.h"

namespace tolvane {

// The settings file on Linux: UTF-8 text, read whole, every write atomic (temporary file in
// the same folder, flushed, renamed over the old one). A file that is not UTF-8, such as one
// copied from the Windows program, is read as GB18030 and written back in it; a file with
// lines of both is written back whole in the encoding most of it is in.
class LinuxProfileStore final : public ProfileStore {
public:
    // `ownFolder`, the user's settings folder of an installed program, is made (private) by the
    // first write into it; a portable program's folder is never made.
    explicit LinuxProfileStore(std::string ownFolder = {}) : m_ownFolder(std::move(ownFolder)) {}

    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue, std::int32_t size,
                          const std::string& file) override;
    std::int32_t GetInt(std::string_view section, std::string_view key, std::int32_t defaultValue,
                        const std::string& file) override;
    bool WriteString(std::string_view section, std::string_view key, std::string_view value,
                     const std::string& file) override;

    // Larger files are not settings files; they read as missing and are never rewritten.
    static constexpr std::size_t kMaxFileBytes = 16u << 20;

private:
    std::string m_ownFolder;
};

}  // namespace tolvane
