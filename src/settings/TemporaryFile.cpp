#include "settings/TemporaryFile.h"

#include "base/AsciiText.h"

namespace tolvane {
namespace {

// A run of 1 to 9 digits as a number; false for anything else.
bool ParseDigits(std::string_view text, std::uint32_t& value) {
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (char c : text) {
        if (!IsAsciiDigit(c)) return false;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return true;
}

}  // namespace

std::string TemporaryFileName(std::string_view file, std::uint32_t pid, unsigned attempt) {
    return std::string(file) + ".tmp" + std::to_string(pid) + "-" + std::to_string(attempt);
}

std::uint32_t TemporaryFileOwner(std::string_view name, std::string_view file) {
    const std::string prefix = std::string(file) + ".tmp";
    if (!name.starts_with(prefix)) return 0;
    name.remove_prefix(prefix.size());
    const std::size_t dash = name.find('-');
    std::uint32_t pid = 0;
    std::uint32_t attempt = 0;
    if (dash == std::string_view::npos || !ParseDigits(name.substr(0, dash), pid) ||
        !ParseDigits(name.substr(dash + 1), attempt)) {
        return 0;
    }
    return pid;
}

}  // namespace tolvane
