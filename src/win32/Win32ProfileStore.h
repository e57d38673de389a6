#pragma once

#include <string>
#include <utility>

#include "settings/ProfileStore.h"

namespace tolvane {

// The kernel32 profile functions; names, values and the path go over in the ANSI code page,
// which is how the settings file stores them. A write edits a temporary copy of the file with
// them, flushes it and moves it over the file, so that the file is never half written.
class Win32ProfileStore final : public ProfileStore {
public:
    // `ownFolder`, the user's settings folder of an installed program, is made by the first
    // write into it; a portable program's folder is never made.
    explicit Win32ProfileStore(std::string ownFolder = {}) : m_ownFolder(std::move(ownFolder)) {}

    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue, std::int32_t size,
                          const std::string& file) override;
    std::int32_t GetInt(std::string_view section, std::string_view key, std::int32_t defaultValue,
                        const std::string& file) override;
    bool WriteString(std::string_view section, std::string_view key, std::string_view value,
                     const std::string& file) override;

private:
    std::string m_ownFolder;
};

}  // namespace tolvane
