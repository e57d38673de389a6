#include "qt/LinuxAutostartStore.h"

#include <unistd.h>

#include <cstdlib>

#include "autostart/StartAtBoot.h"
#include "base/AsciiText.h"
#include "qt/DesktopEntry.h"
#include "qt/PosixFile.h"

namespace tolvane {

std::string LinuxAutostartStore::DefaultFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // Relative values are invalid and to be ignored.
    if (config != nullptr && config[0] == '/') return std::string(config) + "/autostart";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.config/autostart";
    return {};
}

std::optional<std::string> LinuxAutostartStore::PathOf(std::uint32_t rootKey,
                                                       const std::string& keyPath,
                                                       const std::string& valueName) const {
    if (m_folder.empty() || rootKey != kHkeyCurrentUser ||
        !EqualsIgnoringAsciiCase(keyPath, kRunKeyPath)) {
        return std::nullopt;
    }
    if (valueName.empty() || valueName.find('/') != std::string::npos || valueName[0] == '.' ||
        valueName.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    return m_folder + "/" + valueName + ".desktop";
}

bool LinuxAutostartStore::SetRegValue(std::uint32_t rootKey, const std::string& keyPath,
                                      const std::string& valueName, std::uint32_t valueType,
                                      const std::string& data) {
    const std::optional<std::string> path = PathOf(rootKey, keyPath, valueName);
    const std::optional<std::string> text = desktop_entry::EntryText(data);
    if (!path || !text || valueType != kRegSz) return false;
    return MakePrivateFolders(m_folder) && ReplaceAtomically(*path, *text, 0644);
}

bool LinuxAutostartStore::GetRegValue(std::uint32_t rootKey, const std::string& keyPath,
                                      const std::string& valueName, std::uint32_t& valueType,
                                      std::string& data) {
    const std::optional<std::string> path = PathOf(rootKey, keyPath, valueName);
    if (!path) return false;
    std::string text;
    switch (ReadRegularFile(*path, kMaxEntryBytes, text)) {
        case ReadStatus::Missing:
            data.clear();
            return true;
        case ReadStatus::Failed:
            return false;
        case ReadStatus::Ok:
            break;
    }
    valueType = kRegSz;
    data = desktop_entry::CommandOfEntry(text);
    return true;
}

bool LinuxAutostartStore::DeleteRegValue(std::uint32_t rootKey, const std::string& keyPath,
                                         const std::string& valueName) {
    const std::optional<std::string> path = PathOf(rootKey, keyPath, valueName);
    return path && ::unlink(path->c_str()) == 0;
}

}  // namespace tolvane
