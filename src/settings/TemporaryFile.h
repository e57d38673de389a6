#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tolvane {

// A settings file is saved whole into a temporary file beside it, "<file>.tmp<pid>-<attempt>",
// which then replaces it. A writer killed in between leaves its temporary file behind; the name
// tells whose it was, so that a later writer can clear it once that process is gone.
std::string TemporaryFileName(std::string_view file, std::uint32_t pid, unsigned attempt);

// The process that named `name` (a bare file name) for the file named `file`; 0 for any other
// name.
std::uint32_t TemporaryFileOwner(std::string_view name, std::string_view file);

}  // namespace tolvane
