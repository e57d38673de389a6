#pragma once

#include <string>
#include <string_view>

namespace tolvane {

// The folder that holds the executable, without a trailing separator (except at a drive's
// root), and the platform's separator for joining names to it. An empty path means the folder
// could not be told.
struct ProgramFolder {
    std::string path;
    char separator = '/';
    // The executable's file name; empty means the program's usual one.
    std::string executable = {};

    bool IsKnown() const { return !path.empty(); }

    // An unknown folder joins to an empty path, which names no file: never to a name relative
    // to the current folder, nor to one at the root.
    std::string Join(std::string_view name) const {
        if (!IsKnown()) return {};
        return path + separator + std::string(name);
    }
};

}  // namespace tolvane
