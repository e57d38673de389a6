#include "autostart/StartAtBoot.h"

namespace tolvane {
namespace {

std::string StoredCommand(AutostartStore& store) {
    std::uint32_t type = kRegSz;
    std::string data;
    store.GetRegValue(kHkeyCurrentUser, std::string(kRunKeyPath), std::string(kRunValueName), type,
                      data);
    return data;
}

}  // namespace

std::string StartAtBootCommand(const ProgramFolder& folder) {
    // A program that cannot tell its folder has no command to start it by.
    if (!folder.IsKnown()) return {};
    if (folder.separator == '\\') {
        std::string stem = folder.executable.empty() ? "Tolvane" : folder.executable;
        const std::size_t dot = stem.rfind('.');
        if (dot != std::string::npos) stem.erase(dot);
        return "\"" + folder.Join(stem + ".exe") + "\"";
    }
    std::string path = folder.path;
    if (path.back() != folder.separator) path += folder.separator;
    return "\"" + path + (folder.executable.empty() ? "tolvane" : folder.executable) + "\"";
}

bool IsStartAtBootRegistered(AutostartStore& store, const std::string& command) {
    const std::string data = StoredCommand(store);
    return !data.empty() && data == command;
}

void RegisterStartAtBoot(AutostartStore& store, const std::string& command) {
    if (command.empty() || IsStartAtBootRegistered(store, command)) return;
    store.SetRegValue(kHkeyCurrentUser, std::string(kRunKeyPath), std::string(kRunValueName),
                      kRegSz, command);
}

void UnregisterStartAtBoot(AutostartStore& store) {
    store.DeleteRegValue(kHkeyCurrentUser, std::string(kRunKeyPath), std::string(kRunValueName));
}

}  // namespace tolvane
