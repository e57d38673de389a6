#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tolvane {

// What a process can learn about where its executable lies.
struct ExecutableProbe {
    std::optional<std::string> selfLink;  // the target of /proc/self/exe, when it can be read
    std::string argv0;                    // the command the process was started with
    std::optional<std::string> currentFolder;
    std::optional<std::string> searchPath;  // $PATH
    // Whether a path names this process's own executable.
    std::function<bool(const std::string&)> isSelf;
    // The path with every symbolic link resolved; nullopt when that fails.
    std::function<std::optional<std::string>(const std::string&)> resolve;
};

// The folder that holds the executable, without a trailing separator: from /proc/self/exe,
// else from the command made absolute (searched on $PATH when it has no slash) if it names
// this very executable. Empty when neither tells: never the current folder.
std::string FindExecutableFolder(const ExecutableProbe& probe);
// The executable's own path found the same way; empty when neither tells.
std::string FindExecutablePath(const ExecutableProbe& probe);

// The probe of this process.
ExecutableProbe ProbeThisProcess(const char* argv0);

}  // namespace tolvane
