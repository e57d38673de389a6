#include "settings/IniText.h"

#include <algorithm>

#include "base/AsciiText.h"

namespace tolvane::ini {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// The Windows conversion reads an integer value through a 30-character buffer.
constexpr std::size_t kIntValueLimit = 29;

bool IsProfileSpace(char c) {
    switch (c) {
        case ' ':
        case '\t':
        case '\n':
        case '\v':
        case '\f':
        case '\r':
        case '\x1a':  // DOS end-of-file mark
            return true;
        default:
            return false;
    }
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsProfileSpace(s.front())) s.remove_prefix(1);
    return s;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && IsProfileSpace(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view Trim(std::string_view s) {
    return TrimRight(TrimLeft(s));
}

// One physical line: content [begin, end), terminator [end, next). Lines end at LF, CR LF or a
// lone CR, as the Windows parser splits them.
struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t next = 0;
};

class LineReader {
public:
    explicit LineReader(std::string_view text) : m_text(text) {
        if (m_text.substr(0, kUtf8Bom.size()) == kUtf8Bom) m_pos = kUtf8Bom.size();
    }

    bool Next(Line& line) {
        if (m_pos >= m_text.size()) return false;
        line.begin = m_pos;
        std::size_t i = m_text.find_first_of("\r\n", m_pos);
        if (i == std::string_view::npos) {
            line.end = line.next = m_text.size();
        } else {
            line.end = i;
            line.next = (m_text[i] == '\r' && i + 1 < m_text.size() && m_text[i + 1] == '\n')
                            ? i + 2
                            : i + 1;
        }
        m_pos = line.next;
        return true;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

enum class Kind { Blank, Section, Entry };

struct ParsedLine {
    Kind kind = Kind::Blank;
    std::string_view name;
    bool hasValue = false;
    std::size_t valueBegin = 0;  // absolute offsets of the trimmed value
    std::size_t valueEnd = 0;
    std::size_t contentEnd = 0;  // absolute offset after the trimmed content
};

ParsedLine Parse(std::string_view text, const Line& line) {
    ParsedLine parsed;
    std::string_view raw = text.substr(line.begin, line.end - line.begin);
    std::string_view content = Trim(raw);
    if (content.empty()) return parsed;
    std::size_t contentBegin = line.begin + static_cast<std::size_t>(content.data() - raw.data());
    parsed.contentEnd = contentBegin + content.size();

    if (content.front() == '[') {
        std::size_t close = content.rfind(']');
        if (close != std::string_view::npos && close > 0) {
            parsed.kind = Kind::Section;
            parsed.name = Trim(content.substr(1, close - 1));
            return parsed;
        }
    }
    parsed.kind = Kind::Entry;
    std::size_t eq = content.find('=');
    if (eq == std::string_view::npos) {
        parsed.name = content;
        return parsed;
    }
    parsed.name = TrimRight(content.substr(0, eq));
    std::string_view value = TrimLeft(content.substr(eq + 1));
    parsed.hasValue = true;
    parsed.valueBegin = contentBegin + static_cast<std::size_t>(value.data() - content.data());
    parsed.valueEnd = parsed.valueBegin + value.size();
    return parsed;
}

bool SectionMatches(const ParsedLine& parsed, std::string_view wanted) {
    return parsed.kind == Kind::Section && !parsed.name.empty() &&
           EqualsIgnoringAsciiCase(parsed.name, wanted);
}

std::string_view StripQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string_view UpToNul(std::string_view s) {
    return s.substr(0, s.find('\0'));
}

// Cuts to at most `limit` bytes without leaving a partial UTF-8 sequence at the end.
std::string_view CutUtf8(std::string_view s, std::size_t limit) {
    if (s.size() <= limit) return s;
    std::size_t cut = limit;
    for (int back = 0; back < 3 && cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80;
         ++back) {
        --cut;
    }
    if ((static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) cut = limit;  // not UTF-8 after all
    return s.substr(0, cut);
}

std::string_view DetectNewline(std::string_view text) {
    std::size_t i = text.find_first_of("\r\n");
    if (i == std::string_view::npos) return "\r\n";
    if (text[i] == '\n') return "\n";
    return (i + 1 < text.size() && text[i + 1] == '\n') ? "\r\n" : "\r";
}

bool BreaksLines(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::string_view> FindValue(std::string_view text, std::string_view section,
                                          std::string_view key) {
    std::string_view wantedSection = Trim(section);
    std::string_view wantedKey = Trim(key);
    LineReader reader(text);
    Line line;
    bool inSection = false;
    while (reader.Next(line)) {
        ParsedLine parsed = Parse(text, line);
        if (parsed.kind == Kind::Section) {
            if (inSection) return std::nullopt;  // later sections of the same name are not read
            inSection = SectionMatches(parsed, wantedSection);
        } else if (inSection && parsed.kind == Kind::Entry &&
                   EqualsIgnoringAsciiCase(parsed.name, wantedKey)) {
            if (!parsed.hasValue) return std::nullopt;
            return text.substr(parsed.valueBegin, parsed.valueEnd - parsed.valueBegin);
        }
    }
    return std::nullopt;
}

std::string GetString(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view defaultValue, std::int32_t size) {
    if (size <= 0) return {};
    std::optional<std::string_view> value = FindValue(text, section, key);
    std::string_view source;
    if (value) {
        source = StripQuotes(*value);
    } else {
        while (!defaultValue.empty() && defaultValue.back() == ' ') defaultValue.remove_suffix(1);
        source = StripQuotes(defaultValue);
    }
    return std::string(CutUtf8(UpToNul(source), static_cast<std::size_t>(size) - 1));
}

std::int32_t GetInt(std::string_view text, std::string_view section, std::string_view key,
                    std::int32_t defaultValue) {
    std::optional<std::string_view> value = FindValue(text, section, key);
    if (!value) return defaultValue;
    std::string_view digits = UpToNul(StripQuotes(*value)).substr(0, kIntValueLimit);
    if (digits.empty()) return defaultValue;
    return ParseProfileInt(digits);
}

std::int32_t ParseProfileInt(std::string_view value) {
    std::size_t i = 0;
    const std::size_t n = value.size();
    while (i < n && static_cast<unsigned char>(value[i]) <= ' ') ++i;
    bool negative = false;
    if (i < n && (value[i] == '+' || value[i] == '-')) {
        negative = value[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (n - i >= 2 && value[i] == '0') {
        switch (value[i + 1]) {
            case 'b':
                base = 2;
                break;
            case 'o':
                base = 8;
                break;
            case 'x':
                base = 16;
                break;
            default:
                break;
        }
        if (base != 10) i += 2;
    }
    std::uint32_t total = 0;
    for (; i < n; ++i) {
        int digit = DigitValue(value[i]);
        if (digit < 0 || static_cast<unsigned>(digit) >= base) break;
        total = total * base + static_cast<std::uint32_t>(digit);
    }
    if (negative) total = 0u - total;
    return static_cast<std::int32_t>(total);
}

bool IsStorable(std::string_view section, std::string_view key, std::string_view value) {
    if (BreaksLines(section) || BreaksLines(key) || BreaksLines(value)) return false;
    section = Trim(section);
    key = Trim(key);
    return !section.empty() && !key.empty() && key.find('=') == std::string_view::npos &&
           key.front() != '[';
}

std::optional<std::string> SetValue(std::string_view text, std::string_view section,
                                    std::string_view key, std::string_view value) {
    if (!IsStorable(section, key, value)) return std::nullopt;
    std::string_view wantedSection = Trim(section);
    std::string_view wantedKey = Trim(key);
    value = TrimLeft(value);
    const std::string_view newline = DetectNewline(text);
    const std::string entry = std::string(wantedKey) + "=" + std::string(value);

    auto replaced = [&](std::size_t from, std::size_t to, std::string_view with) {
        std::string out(text.substr(0, from));
        out += with;
        out += text.substr(to);
        return out;
    };
    auto insertedAfter = [&](const Line& last) {
        if (last.next > last.end)
            return replaced(last.next, last.next, entry + std::string(newline));
        return replaced(last.end, last.end, std::string(newline) + entry + std::string(newline));
    };

    LineReader reader(text);
    Line line;
    Line lastInSection;
    bool inSection = false;
    while (reader.Next(line)) {
        ParsedLine parsed = Parse(text, line);
        if (parsed.kind == Kind::Section) {
            if (inSection) return insertedAfter(lastInSection);
            inSection = SectionMatches(parsed, wantedSection);
            if (inSection) lastInSection = line;
            continue;
        }
        if (!inSection || parsed.kind == Kind::Blank) continue;
        lastInSection = line;
        if (parsed.kind == Kind::Entry && EqualsIgnoringAsciiCase(parsed.name, wantedKey)) {
            if (!parsed.hasValue) {
                return replaced(parsed.contentEnd, parsed.contentEnd, "=" + std::string(value));
            }
            if (text.substr(parsed.valueBegin, parsed.valueEnd - parsed.valueBegin) == value) {
                return std::string(text);
            }
            return replaced(parsed.valueBegin, parsed.valueEnd, value);
        }
    }
    if (inSection) return insertedAfter(lastInSection);

    std::string out(text);
    if (!out.empty() && out.back() != '\n' && out.back() != '\r') out += newline;
    out += "[" + std::string(wantedSection) + "]" + std::string(newline) + entry +
           std::string(newline);
    return out;
}

}  // namespace tolvane::ini
