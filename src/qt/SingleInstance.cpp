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

std::string LockFolder(const std::string& fallbackRoot) {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        struct stat st {};
        if (::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode)) return runtime;
    }
    // Without a runtime folder, a private one in /tmp; someone else's folder is never used.
    std::string fallback = fallbackRoot + "/tolvane-" + std::to_string(::getuid());
    if (::mkdir(fallback.c_str(), 0700) != 0 && errno != EEXIST) return {};
    return IsPrivateFolder(fallback) ? fallback : std::string();
}

}  // namespace

SingleInstance::SingleInstance(const std::string& title, const std::string& fallbackRoot) {
    const std::string folder = LockFolder(fallbackRoot);
    if (folder.empty()) return;
    const std::string path = folder + "/" + title + ".lock";
    m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0) return;
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno == EWOULDBLOCK) m_first = false;
        break;
    }
}

SingleInstance::~SingleInstance() {
    if (m_fd >= 0) ::close(m_fd);
}

}  // namespace tolvane
