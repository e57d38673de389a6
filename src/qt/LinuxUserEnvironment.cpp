#include "qt/LinuxUserEnvironment.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace tolvane {
namespace {

constexpr std::size_t kMaxMarkerBytes = 4096;

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The marker's text; nothing when there is none. Whatever else is at its name (a folder, a
// FIFO, a large file) still marks an install: it is read as empty, and never waited on.
std::optional<std::string> ReadMarker(const std::string& path) {
    if (path.empty()) return std::nullopt;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
        return std::string();
    }
    std::string text(kMaxMarkerBytes, '\0');
    struct stat file {};
    ssize_t read = -1;
    if (::fstat(fd, &file) == 0 && S_ISREG(file.st_mode))
        read = ::read(fd, text.data(), text.size());
    ::close(fd);
    text.resize(read > 0 ? static_cast<std::size_t>(read) : 0);
    return text;
}

}  // namespace

ProgramPlaces PlacesOf(const ProgramFolder& program) {
    return LocatePlaces(program, ReadMarker(program.Join(kPackageMarkerName)),
                        {Variable("XDG_CONFIG_HOME"), Variable("XDG_DATA_HOME"), Variable("HOME")});
}

}  // namespace tolvane
