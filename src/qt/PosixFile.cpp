#include "qt/PosixFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "settings/TemporaryFile.h"

namespace tolvane {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// A writer killed between creating its temporary file and renaming it leaves the file behind;
// once that writer is gone for good, nobody else will ever finish it.
void RemoveAbandonedTemporaries(const std::string& folder, std::string_view file) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) {
        const auto owner = static_cast<pid_t>(TemporaryFileOwner(entry->d_name, file));
        if (owner <= 0 || owner == ::getpid()) continue;
        if (::kill(owner, 0) == 0 || errno != ESRCH) continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && st.st_uid == ::getuid()) {
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

}  // namespace

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = other.Release();
    }
    return *this;
}

bool FileDescriptor::Close() {
    return m_fd >= 0 && ::close(Release()) == 0;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool MakePrivateFolders(const std::string& folder) {
    std::error_code error;
    std::vector<std::filesystem::path> missing;
    for (std::filesystem::path p = folder; !p.empty() && !std::filesystem::exists(p, error);
         p = p.parent_path()) {
        missing.push_back(p);
    }
    std::filesystem::create_directories(folder, error);
    for (const std::filesystem::path& made : missing) {
        std::filesystem::permissions(made, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace, error);
    }
    return std::filesystem::is_directory(folder, error);
}

FileDescriptor OpenForReading(const std::string& path, bool followLink) {
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (followLink ? 0 : O_NOFOLLOW);
    return FileDescriptor(::open(path.c_str(), flags));
}

ReadStatus ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    const FileDescriptor fd = OpenForReading(path);
    if (!fd.IsOpen()) return errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed;
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
        return ReadStatus::Failed;
    }
    // One byte more than the file had shows a file that grew while it was read.
    bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
    std::size_t done = 0;
    for (;;) {
        if (done == bytes.size()) {
            if (done > maxBytes) break;
            bytes.resize(std::min(done * 2, maxBytes + 1));
        }
        const ssize_t n = ::read(fd.Get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        if (n == 0) {
            bytes.resize(done);
            return ReadStatus::Ok;
        }
        done += static_cast<std::size_t>(n);
    }
    bytes.clear();
    return ReadStatus::Failed;
}

bool ReadAt(int fd, std::uint64_t offset, void* buffer, std::size_t length) {
    auto* out = static_cast<unsigned char*>(buffer);
    while (length > 0) {
        const ssize_t n = ::pread(fd, out, length, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        out += n;
        offset += static_cast<std::uint64_t>(n);
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

bool ReplaceAtomically(const std::string& path, std::string_view bytes,
                       std::optional<mode_t> mode) {
    std::string temp;
    FileDescriptor fd;
    for (unsigned attempt = 0; attempt < 16 && !fd.IsOpen(); ++attempt) {
        temp = TemporaryFileName(path, static_cast<std::uint32_t>(::getpid()), attempt);
        fd = FileDescriptor(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!fd.IsOpen() && errno != EEXIST) return false;
    }
    if (!fd.IsOpen()) return false;
    bool ok = WriteAll(fd.Get(), bytes);
    if (ok && mode) ok = ::fchmod(fd.Get(), *mode) == 0;
    ok = ok && ::fsync(fd.Get()) == 0;
    ok = fd.Close() && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // The rename itself lives in the folder, which has to reach the disk as well.
    const std::string folder = FolderOf(path);
    const FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.IsOpen()) ::fsync(dir.Get());
    const std::size_t slash = path.rfind('/');
    RemoveAbandonedTemporaries(folder, slash == std::string::npos ? path : path.substr(slash + 1));
    return true;
}

}  // namespace tolvane
