#include "qt/DesktopEntry.h"

#include "base/AsciiText.h"

namespace tolvane::desktop_entry {
namespace {

constexpr std::string_view kGroup = "[Desktop Entry]";

// Inside a quoted Exec argument these four take a backslash, and '%' is doubled so it is no
// field code; then the general string escapes apply to the whole value. desktop_exec in
// scripts/lib/install.bash escapes alike: uninstall finds this entry by its Exec line.
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

}  // namespace

std::optional<std::string> EntryText(std::string_view command) {
    if (command.size() < 2 || command.front() != '"' || command.back() != '"') return std::nullopt;
    return std::string(kGroup) + "\nType=Application\nName=Tolvane\nIcon=tolvane\nExec=" +
           EscapeExec(command.substr(1, command.size() - 2)) + "\n";
}

std::string CommandOfEntry(std::string_view entryText) {
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

}  // namespace tolvane::desktop_entry
