#pragma once

#include <optional>
#include <string>

#include "autostart/AutostartStore.h"

namespace tolvane {

// The logon entry on Linux: an XDG autostart file "<folder>/<value name>.desktop" whose Exec
// holds the quoted command and nothing else. It stands in for the one registry value the
// program uses (HKEY_CURRENT_USER, the Run key); any other key fails. Writes are atomic, as
// for the settings file; an entry the desktop switched off (Hidden=true or
// X-GNOME-Autostart-enabled=false) reads as no entry.
class LinuxAutostartStore final : public AutostartStore {
public:
    // `folder` empty: every call fails.
    explicit LinuxAutostartStore(std::string folder) : m_folder(std::move(folder)) {}

    // $XDG_CONFIG_HOME/autostart, or ~/.config/autostart; empty when neither can be found.
    static std::string DefaultFolder();

    bool SetRegValue(std::uint32_t rootKey, const std::string& keyPath,
                     const std::string& valueName, std::uint32_t valueType,
                     const std::string& data) override;
    bool GetRegValue(std::uint32_t rootKey, const std::string& keyPath,
                     const std::string& valueName, std::uint32_t& valueType,
                     std::string& data) override;
    bool DeleteRegValue(std::uint32_t rootKey, const std::string& keyPath,
                        const std::string& valueName) override;

    static constexpr std::size_t kMaxEntryBytes = 64 * 1024;

private:
    std::optional<std::string> PathOf(std::uint32_t rootKey, const std::string& keyPath,
                                      const std::string& valueName) const;

    std::string m_folder;
};

}  // namespace tolvane
