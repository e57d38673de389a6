#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "autostart/AutostartStore.h"

namespace tolvane {

// The logon entry on Linux: an XDG autostart file "<folder>/<value name>.desktop" whose Exec
// holds the quoted command and nothing else. It stands in for the one registry value the
// program uses (HKEY_CURRENT_USER, the Run key); any other key fails. Writes are atomic
// (temporary file, fsync, rename); an entry the desktop switched off (Hidden=true or
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

    // The whole file for a command of the form "<path>"; nullopt for any other text.
    static std::optional<std::string> EntryText(std::string_view command);
    // The command an entry starts: its Exec value with the desktop-entry escapes undone, or
    // empty when it has none or is switched off.
    static std::string CommandOfEntry(std::string_view entryText);

    static constexpr std::size_t kMaxEntryBytes = 64 * 1024;

private:
    std::optional<std::string> PathOf(std::uint32_t rootKey, const std::string& keyPath,
                                      const std::string& valueName) const;

    std::string m_folder;
};

}  // namespace tolvane
