#include "qt/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace tolvane {
namespace {

bool IsPrivateFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 0077) == 0;
}

std::string FallbackFolder(const std::string& fallbackRoot) {
    // Someone else's folder, or one others may write to, is never used.
    std::string fallback = fallbackRoot + "/tolvane-" + std::to_string(::getuid());
    if (::mkdir(fallback.c_str(), 0700) != 0 && errno != EEXIST) return {};
    return IsPrivateFolder(fallback) ? fallback : std::string();
}

}  // namespace

SingleInstance::Outcome SingleInstance::TryLock(const std::string& path) {
    // No link is followed and nothing blocks: a FIFO planted at the path would hold the open.
    const int fd =
        ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) return Outcome::Unusable;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid()) {
        ::close(fd);
        return Outcome::Unusable;
    }
    int result;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        m_fd = fd;
        m_path = path;
        return Outcome::Locked;
    }
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    if (held) m_heldPath = path;
    return held ? Outcome::Held : Outcome::Unusable;
}

SingleInstance::SingleInstance(const std::string& title, const std::string& fallbackRoot) {
    const std::string name = "/" + title + ".lock";
    // The runtime folder first; whatever keeps its marker from working, except another copy
    // holding it, sends us to the private fallback, so the guard never silently lapses.
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime == '/') {
        const Outcome outcome = TryLock(runtime + name);
        if (outcome != Outcome::Unusable) {
            m_first = outcome == Outcome::Locked;
            return;
        }
    }
    const std::string fallback = FallbackFolder(fallbackRoot);
    if (!fallback.empty()) m_first = TryLock(fallback + name) != Outcome::Held;
}

SingleInstance::~SingleInstance() {
    if (m_fd >= 0) ::close(m_fd);
}

}  // namespace tolvane
