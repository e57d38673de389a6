#include "base/ProgramPlaces.h"

namespace tolvane {
namespace {

constexpr std::string_view kCommandKey = "Command";

bool IsWindows(char separator) {
    return separator == '\\';
}

bool IsAbsolute(std::string_view path, char separator) {
    if (!IsWindows(separator)) return path.starts_with('/');
    // "C:\…" or a share, "\\server\…"; never "C:x", which hangs on the drive's current folder.
    return (path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) ||
           path.starts_with("\\\\");
}

// The folder without trailing separators, a root keeping its own ("/", "C:\").
std::string Trimmed(std::string path, char separator) {
    const std::size_t root = IsWindows(separator) && path.size() >= 3 && path[1] == ':' ? 3 : 1;
    while (path.size() > root && (path.back() == separator || path.back() == '/')) path.pop_back();
    return path;
}

// `value` when it is an absolute path, else `underHome` in the user's home, else none.
std::string BaseFolder(const std::string& value, const std::string& home,
                       std::string_view underHome, char separator) {
    if (IsAbsolute(value, separator)) return Trimmed(value, separator);
    if (IsAbsolute(home, separator)) {
        std::string base = Trimmed(home, separator);
        if (base.back() == separator) base.pop_back();
        return base + std::string(underHome);
    }
    return {};
}

std::string_view TrimmedLine(std::string_view line) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    return line;
}

std::string CommandOf(std::string_view marker) {
    while (!marker.empty()) {
        const std::size_t end = marker.find('\n');
        const std::string_view line = marker.substr(0, end);
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos &&
            TrimmedLine(line.substr(0, equals)) == kCommandKey) {
            return std::string(TrimmedLine(line.substr(equals + 1)));
        }
        marker.remove_prefix(end == std::string_view::npos ? marker.size() : end + 1);
    }
    return {};
}

}  // namespace

ProgramPlaces LocatePlaces(const ProgramFolder& program, const std::optional<std::string>& marker,
                           const UserEnvironment& environment) {
    ProgramPlaces places{program, program, {}, program, false};
    if (!program.IsKnown() || !marker) return places;
    places.installed = true;
    const char separator = program.separator;
    const bool windows = IsWindows(separator);
    const std::string name = windows ? "Tolvane" : "tolvane";
    const std::string config = BaseFolder(environment.configHome, environment.home,
                                          windows ? "\\AppData\\Roaming" : "/.config", separator);
    const std::string data =
        windows ? config
                : BaseFolder(environment.dataHome, environment.home, "/.local/share", separator);
    // With no folder of the user's to be had, nothing is saved rather than saved where the
    // program's own folder is (which is not the user's).
    places.settings = {config.empty() ? std::string() : config + separator + name, separator};
    if (!data.empty()) places.ownVoices = data + separator + name + separator + "Sound" + separator;
    const std::string command = CommandOf(*marker);
    const std::size_t slash = command.rfind(separator);
    if (IsAbsolute(command, separator) && slash != std::string::npos &&
        slash + 1 < command.size()) {
        places.launcher = {command.substr(0, slash == 0 ? 1 : slash), separator,
                           command.substr(slash + 1)};
    }
    return places;
}

}  // namespace tolvane
