#pragma once

#include <functional>
#include <optional>
#include <string>

#include "base/ProgramFolder.h"

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

// The folder that holds the executable, and the executable's name: from /proc/self/exe, else
// from the command made absolute (searched on $PATH when it has no slash) if it names this very
// executable. Unknown when neither tells: never the current folder.
ProgramFolder FindProgramFolder(const ExecutableProbe& probe);

// The probe of this process.
ExecutableProbe ProbeThisProcess(const char* argv0);

}  // namespace tolvane
