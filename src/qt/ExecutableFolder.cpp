#include "qt/ExecutableFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace tolvane {
namespace {

std::optional<std::string> Absolute(const std::string& path,
                                    const std::optional<std::string>& currentFolder) {
    if (path.starts_with('/')) return path;
    if (!currentFolder || !currentFolder->starts_with('/')) return std::nullopt;
    return (*currentFolder == "/" ? std::string() : *currentFolder) + "/" + path;
}

// The command as an absolute path to this executable, found the way a shell finds it.
std::optional<std::string> CommandPath(const ExecutableProbe& probe) {
    if (probe.argv0.empty() || !probe.isSelf) return std::nullopt;
    if (probe.argv0.find('/') != std::string::npos) {
        std::optional<std::string> path = Absolute(probe.argv0, probe.currentFolder);
        if (path && probe.isSelf(*path)) return path;
        return std::nullopt;
    }
    if (!probe.searchPath) return std::nullopt;
    const std::string& list = *probe.searchPath;
    for (std::size_t start = 0; start <= list.size();) {
        std::size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        // An empty entry is the current folder.
        std::string folder = list.substr(start, end - start);
        if (folder.empty()) folder = ".";
        std::optional<std::string> path = Absolute(folder + "/" + probe.argv0, probe.currentFolder);
        if (path && probe.isSelf(*path)) return path;
        start = end + 1;
    }
    return std::nullopt;
}

// The executable's own path; empty when nothing tells.
std::string FindExecutablePath(const ExecutableProbe& probe) {
    if (probe.selfLink && probe.selfLink->starts_with('/')) return *probe.selfLink;
    const std::optional<std::string> command = CommandPath(probe);
    if (!command) return {};
    // Resolved, like /proc/self/exe, so that a symlink to the program finds the program's own
    // folder; a path too long to resolve is still a way to it.
    if (probe.resolve) {
        const std::optional<std::string> real = probe.resolve(*command);
        if (real && real->starts_with('/')) return *real;
    }
    return *command;
}

}  // namespace

ProgramFolder FindProgramFolder(const ExecutableProbe& probe) {
    const std::string path = FindExecutablePath(probe);
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return {slash == 0 ? std::string("/") : path.substr(0, slash), '/', path.substr(slash + 1)};
}

ExecutableProbe ProbeThisProcess(const char* argv0) {
    ExecutableProbe probe;
    char buffer[PATH_MAX];
    // The kernel refuses, rather than cuts, a target longer than a page; a full buffer may
    // still be a cut one.
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length > 0 && static_cast<std::size_t>(length) < sizeof buffer) {
        probe.selfLink = std::string(buffer, static_cast<std::size_t>(length));
    }
    probe.argv0 = argv0 != nullptr ? argv0 : "";
    if (char* current = ::getcwd(nullptr, 0)) {
        probe.currentFolder = current;
        std::free(current);
    }
    if (const char* path = std::getenv("PATH")) probe.searchPath = path;
    probe.isSelf = [](const std::string& path) {
        struct stat candidate {};
        if (::stat(path.c_str(), &candidate) != 0 || !S_ISREG(candidate.st_mode)) return false;
        // /proc/self/exe can be followed even when its target is too long to be read.
        struct stat self {};
        if (::stat("/proc/self/exe", &self) == 0) {
            return candidate.st_dev == self.st_dev && candidate.st_ino == self.st_ino;
        }
        return ::access(path.c_str(), X_OK) == 0;
    };
    probe.resolve = [](const std::string& path) -> std::optional<std::string> {
        char* real = ::realpath(path.c_str(), nullptr);
        if (real == nullptr) return std::nullopt;
        std::string result(real);
        std::free(real);
        return result;
    };
    return probe;
}

}  // namespace tolvane
