#include "qt/LinuxAutostartStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "autostart/StartAtBoot.h"
#include "base/AsciiText.h"

namespace tolvane {
namespace {

constexpr std::string_view kGroup = "[Desktop Entry]";

// Inside a quoted Exec argument these four take a backslash, and '%' is doubled so it is no
// field code; then the general string escapes apply to the whole value.
std::string EscapeExec(std::string_view path) {
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        if (c == '%') quoted += '%';
        quoted += c;
    }
    quoted += '"';
    std::string value;
    for (char c : quoted) {
        switch (c) {
            case '\\':
                value += "\\\\";
                break;
            case '\n':
                value += "\\n";
                break;
            case '\t':
                value += "\\t";
                break;
            case '\r':
                value += "\\r";
                break;
            default:
                value += c;
        }
    }
    return value;
}

std::string UnescapeString(std::string_view value) {
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        const char next = value[++i];
        switch (next) {
            case 's':
                text += ' ';
                break;
            case 'n':
                text += '\n';
                break;
            case 't':
                text += '\t';
                break;
            case 'r':
                text += '\r';
                break;
            case '\\':
                text += '\\';
                break;
            default:
                text += '\\';
                text += next;
        }
    }
    return text;
}

// `"path"` back from one quoted argument; anything else comes back as it stands, which never
// equals a command.
std::string CommandFromExec(std::string_view exec) {
    const std::string text = UnescapeString(exec);
    if (text.size() < 2 || text.front() != '"') return text;
    std::string path;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') return i + 1 == text.size() ? "\"" + path + "\"" : text;
        if (c == '\\') {
            if (i + 1 == text.size()) return text;
            const char next = text[++i];
            if (next != '"' && next != '`' && next != '$' && next != '\\') return text;
            path += next;
        } else if (c == '%') {
            if (i + 1 == text.size() || text[i + 1] != '%') return text;
            path += '%';
            ++i;
        } else {
            path += c;
        }
    }
    return text;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

bool MakeFolders(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const std::size_t slash = folder.rfind('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash))) {
        return false;
    }
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool WriteAtomically(const std::string& folder, const std::string& path, const std::string& bytes) {
    std::string temp = folder + "/.tolvane-autostart-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    std::size_t done = 0;
    bool ok = ::fchmod(fd, 0644) == 0;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<std::size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

enum class ReadResult { Ok, Missing, Failed };

ReadResult ReadEntry(const std::string& path, std::string& text) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
              static_cast<std::size_t>(st.st_size) <= LinuxAutostartStore::kMaxEntryBytes;
    std::vector<char> buffer(LinuxAutostartStore::kMaxEntryBytes);
    std::size_t done = 0;
    while (ok && done < buffer.size()) {
        const ssize_t n = ::read(fd, buffer.data() + done, buffer.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (!ok) return ReadResult::Failed;
    text.assign(buffer.data(), done);
    return ReadResult::Ok;
}

}  // namespace

std::string LinuxAutostartStore::DefaultFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // Relative values are invalid and to be ignored.
    if (config != nullptr && config[0] == '/') return std::string(config) + "/autostart";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.config/autostart";
    return {};
}

std::optional<std::string> LinuxAutostartStore::EntryText(std::string_view command) {
    if (command.size() < 2 || command.front() != '"' || command.back() != '"') return std::nullopt;
    return std::string(kGroup) + "\nType=Application\nName=Tolvane\nExec=" +
           EscapeExec(command.substr(1, command.size() - 2)) + "\n";
}

std::string LinuxAutostartStore::CommandOfEntry(std::string_view entryText) {
    bool inGroup = false;
    std::optional<std::string> exec;
    bool disabled = false;
    std::size_t start = 0;
    while (start < entryText.size()) {
        std::size_t end = entryText.find('\n', start);
        if (end == std::string_view::npos) end = entryText.size();
        const std::string_view line = Trim(entryText.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            inGroup = line == kGroup;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inGroup || equals == std::string_view::npos) continue;
        const std::string_view key = Trim(line.substr(0, equals));
        const std::string_view value = Trim(line.substr(equals + 1));
        // The first of a key counts, as in the desktop's own reader.
        if (key == "Exec" && !exec) exec = std::string(value);
        if (key == "Hidden" && EqualsIgnoringAsciiCase(value, "true")) disabled = true;
        if (key == "X-GNOME-Autostart-enabled" && EqualsIgnoringAsciiCase(value, "false"))
            disabled = true;
    }
    if (!exec || disabled) return {};
    return CommandFromExec(*exec);
}

std::optional<std::string> LinuxAutostartStore::PathOf(std::uint32_t rootKey,
                                                       const std::string& keyPath,
                                                       const std::string& valueName) const {
    if (m_folder.empty() || rootKey != kHkeyCurrentUser ||
        !EqualsIgnoringAsciiCase(keyPath, kRunKeyPath)) {
        return std::nullopt;
    }
    if (valueName.empty() || valueName.find('/') != std::string::npos || valueName[0] == '.' ||
        valueName.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    return m_folder + "/" + valueName + ".desktop";
}

bool LinuxAutostartStore::SetRegValue(std::uint32_t rootKey, const std::string& keyPath,
                                      const std::string& valueName, std::uint32_t valueType,
                                      const std::string& data) {
    const std::optional<std::string> path = PathOf(rootKey, keyPath, valueName);
    const std::optional<std::string> text = EntryText(data);
    if (!path || !text || valueType != kRegSz) return false;
    return MakeFolders(m_folder) && WriteAtomically(m_folder, *path, *text);
}

bool LinuxAutostartStore::GetRegValue(std::uint32_t rootKey, const std::string& keyPath,
                                      const std::string& valueName, std::uint32_t& valueType,
                                      std::string& data) {
    const std::optional<std::string> path = PathOf(rootKey, keyPath, valueName);
    if (!path) return false;
    std::string text;
    switch (ReadEntry(*path, text)) {
        case ReadResult::Missing:
            data.clear();
            return true;
        case ReadResult::Failed:
            return false;
        case ReadResult::Ok:
            break;
    }
    valueType = kRegSz;
    data = CommandOfEntry(text);
    return true;
}

bool LinuxAutostartStore::DeleteRegValue(std::uint32_t rootKey, const std::string& keyPath,
                                         const std::string& valueName) {
    const std::optional<std::string> path = PathOf(rootKey, keyPath, valueName);
    return path && ::unlink(path->c_str()) == 0;
}

}  // namespace tolvane
