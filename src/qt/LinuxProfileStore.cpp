#include "qt/LinuxProfileStore.h"

#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>

#include "settings/IniText.h"

namespace tolvane {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return m_fd; }
    int Release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool HasWriteBits(mode_t mode) {
    return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// A symlinked settings file is updated where it points, not replaced by a plain file.
std::string ResolveTarget(const std::string& path) {
    char resolved[PATH_MAX];
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) &&
        ::realpath(path.c_str(), resolved) != nullptr) {
        return resolved;
    }
    return path;
}

bool IsUtf16(const std::string& text) {
    return text.size() >= 2 &&
           ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF'));
}

// The number of the process that named a temporary "<file>.tmp<pid>-<attempt>"; 0 for any
// other name.
pid_t TemporaryOwner(std::string_view name, std::string_view file) {
    const std::string prefix = std::string(file) + ".tmp";
    if (!name.starts_with(prefix)) return 0;
    name.remove_prefix(prefix.size());
    const std::size_t dash = name.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash > 9 || dash + 1 == name.size() ||
        name.find_first_not_of("0123456789") != dash ||
        name.substr(dash + 1).find_first_not_of("0123456789") != std::string_view::npos) {
        return 0;
    }
    return static_cast<pid_t>(std::stol(std::string(name.substr(0, dash))));
}

// A writer killed between creating its temporary file and renaming it leaves the file behind;
// once that writer is gone for good, nobody else will ever finish it.
void RemoveAbandonedTemporaries(const std::string& folder, const std::string& file) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t owner = TemporaryOwner(entry->d_name, file);
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

bool ReplaceAtomically(const std::string& path, const std::string& bytes, const struct stat* old) {
    const std::string folder = FolderOf(path);
    struct stat folderStat {};
    // A folder or file marked read-only is left alone, even for a user who could override it.
    if (::stat(folder.c_str(), &folderStat) != 0 || !HasWriteBits(folderStat.st_mode)) return false;
    if (old != nullptr && !HasWriteBits(old->st_mode)) return false;
    if (::access(folder.c_str(), W_OK) != 0) return false;

    std::string temp;
    int rawFd = -1;
    for (int attempt = 0; attempt < 16 && rawFd < 0; ++attempt) {
        temp = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        rawFd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (rawFd < 0 && errno != EEXIST) return false;
    }
    if (rawFd < 0) return false;
    FileDescriptor fd(rawFd);
    bool ok = WriteAll(fd.Get(), bytes);
    if (ok && old != nullptr) ok = ::fchmod(fd.Get(), old->st_mode & 07777) == 0;
    ok = ok && ::fsync(fd.Get()) == 0;
    ok = (::close(fd.Release()) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) ::fsync(dir.Get());
    const std::size_t slash = path.rfind('/');
    RemoveAbandonedTemporaries(folder, slash == std::string::npos ? path : path.substr(slash + 1));
    return true;
}

bool IsUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        char32_t least = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            least = 0x10000;
        } else if (lead >= 0x80) {
            return false;
        }
        if (length > text.size() - i) return false;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

// The whole text in another encoding; nullopt when any of it cannot be converted.
std::optional<std::string> Recode(const std::string& text, const char* from, const char* to) {
    iconv_t converter = ::iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out(text.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* next = out.data();
    std::size_t outLeft = out.size();
    bool ok = true;
    while (inLeft > 0 && ok) {
        if (::iconv(converter, &in, &inLeft, &next, &outLeft) != static_cast<std::size_t>(-1)) {
            continue;
        }
        if (errno != E2BIG) {
            ok = false;
            break;
        }
        const std::size_t used = static_cast<std::size_t>(next - out.data());
        out.resize(out.size() * 2);
        next = out.data() + used;
        outLeft = out.size() - used;
    }
    // A shift state or a cut character at the end is an error too.
    ok =
        ok && ::iconv(converter, nullptr, nullptr, &next, &outLeft) != static_cast<std::size_t>(-1);
    ::iconv_close(converter);
    if (!ok) return std::nullopt;
    out.resize(static_cast<std::size_t>(next - out.data()));
    return out;
}

// A settings file copied from the Windows program is in the ANSI code page of a Chinese
// system; GB18030 reads every GBK file and encodes every character.
constexpr char kWindowsEncoding[] = "GB18030";

enum class ReadStatus { Ok, Missing, Unusable };

// The file's text as UTF-8; Missing when it does not exist, Unusable when it cannot be read or
// is not a settings file we can safely rewrite. `wasGb18030` tells whether the file itself is
// in the Windows program's encoding; text that is neither is passed on as it stands.
ReadStatus ReadFile(const std::string& path, std::string& text, bool* wasGb18030 = nullptr) {
    if (wasGb18030 != nullptr) *wasGb18030 = false;
    text.clear();
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Get() < 0) return errno == ENOENT ? ReadStatus::Missing : ReadStatus::Unusable;
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::size_t>(st.st_size) > LinuxProfileStore::kMaxFileBytes) {
        return ReadStatus::Unusable;
    }
    text.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::read(fd.Get(), text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return ReadStatus::Unusable;
        if (n == 0) break;  // shrank while reading
        done += static_cast<std::size_t>(n);
    }
    text.resize(done);
    if (IsUtf16(text)) return ReadStatus::Unusable;
    if (!IsUtf8(text)) {
        if (std::optional<std::string> utf8 = Recode(text, kWindowsEncoding, "UTF-8")) {
            text = std::move(*utf8);
            if (wasGb18030 != nullptr) *wasGb18030 = true;
        }
    }
    return ReadStatus::Ok;
}

}  // namespace

std::string LinuxProfileStore::GetString(std::string_view section, std::string_view key,
                                         std::string_view defaultValue, std::int32_t size,
                                         const std::string& file) {
    std::string text;
    if (ReadFile(file, text) != ReadStatus::Ok) text.clear();
    return ini::GetString(text, section, key, defaultValue, size);
}

std::int32_t LinuxProfileStore::GetInt(std::string_view section, std::string_view key,
                                       std::int32_t defaultValue, const std::string& file) {
    std::string text;
    if (ReadFile(file, text) != ReadStatus::Ok) return defaultValue;
    return ini::GetInt(text, section, key, defaultValue);
}

bool LinuxProfileStore::WriteString(std::string_view section, std::string_view key,
                                    std::string_view value, const std::string& file) {
    const std::string path = ResolveTarget(file);
    std::string text;
    bool wasGb18030 = false;
    const ReadStatus status = ReadFile(path, text, &wasGb18030);
    if (status == ReadStatus::Unusable) return false;
    std::optional<std::string> updated = ini::SetValue(text, section, key, value);
    if (!updated) return false;
    if (status == ReadStatus::Ok && *updated == text) return true;
    // The file keeps its own encoding, so that no file ever holds two.
    if (wasGb18030) updated = Recode(*updated, "UTF-8", kWindowsEncoding);
    if (!updated) return false;
    struct stat old {};
    const bool exists = status == ReadStatus::Ok && ::stat(path.c_str(), &old) == 0;
    return ReplaceAtomically(path, *updated, exists ? &old : nullptr);
}

}  // namespace tolvane
