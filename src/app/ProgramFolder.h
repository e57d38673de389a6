#pragma once

#include <string>
#include <string_view>

namespace tolvane {

// The folder that holds the executable, without a trailing separator (except at a drive's
// root), and the platform's separator for joining names to it.
struct ProgramFolder {
    std::string path;
    char separator = '/';
    // The executable's file name; empty means the program's usual one.
    std::string executable = {};

    std::string Join(std::string_view name) const { return path + separator + std::string(name); }
};

}  // namespace tolvane
