#include "promo/AdvertPage.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "base/AsciiText.h"

namespace tolvane {
namespace {

constexpr std::size_t kMaxDepth = 24;
constexpr int kMaxElements = 500;
constexpr int kMaxTables = 8;
constexpr int kMaxTableDepth = 3;
constexpr std::size_t kMaxRun = 200;
// "&" and a name longer than this is no character reference but text.
constexpr std::size_t kMaxEntity = 32;

struct Element {
    std::string_view name;
    bool empty;                   // no content and no end tag
    std::string_view attributes;  // those kept, separated by spaces
};

constexpr Element kElements[] = {
    {"a", false, "href"},
    {"b", false, ""},
    {"big", false, ""},
    {"body", false, "bgcolor"},
    {"br", true, ""},
    {"center", false, ""},
    {"div", false, "align"},
    {"em", false, ""},
    {"font", false, "color size"},
    {"h1", false, "align"},
    {"h2", false, "align"},
    {"h3", false, "align"},
    {"h4", false, "align"},
    {"h5", false, "align"},
    {"h6", false, "align"},
    {"hr", true, ""},
    {"i", false, ""},
    {"img", true, "src width height"},
    {"li", false, ""},
    {"ol", false, ""},
    {"p", false, "align"},
    {"s", false, ""},
    {"small", false, ""},
    {"span", false, ""},
    {"strike", false, ""},
    {"strong", false, ""},
    {"sub", false, ""},
    {"sup", false, ""},
    {"table", false, "width border cellpadding cellspacing bgcolor align"},
    {"td", false, "width bgcolor align valign colspan rowspan"},
    {"th", false, "width bgcolor align valign colspan rowspan"},
    {"tr", false, "bgcolor align"},
    {"u", false, ""},
    {"ul", false, ""},
};

// Elements whose content is no text to show; it goes with them.
constexpr std::string_view kHidden[] = {"script", "style",   "title",    "textarea", "xmp",
                                        "iframe", "noembed", "noframes", "noscript", "template",
                                        "svg",    "math",    "object",   "select",   "plaintext"};

// Within text and other inline elements, which a new block closes a paragraph through.
constexpr std::string_view kInline = " a b big em font i s small span strike strong sub sup u ";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsAmong(std::string_view words, std::string_view word) {
    return words.find(" " + std::string(word) + " ") != std::string_view::npos;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), AsciiLower);
    return lower;
}

// Up to 9 digits as a number (more count as very large); nullopt for anything else.
std::optional<long> Number(std::string_view text) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), IsAsciiDigit)) return std::nullopt;
    if (text.size() > 9) return 999'999'999;
    long value = 0;
    for (char c : text) value = value * 10 + (c - '0');
    return value;
}

std::optional<std::string> Capped(std::string_view text, long low, long high) {
    const auto value = Number(text);
    if (!value) return std::nullopt;
    return std::to_string(std::clamp(*value, low, high));
}

// The value as it may stay, or nullopt to drop the attribute.
std::optional<std::string> CleanValue(std::string_view name, std::string_view value) {
    if (name == "href" || name == "src") {
        const bool plain = !value.empty() && value.size() <= 1024 &&
                           std::all_of(value.begin(), value.end(), [](char c) {
                               return c > ' ' && c < 127 && c != '"' && c != '\'' && c != '<' &&
                                      c != '>' && c != '`';
                           });
        return plain ? std::optional(std::string(value)) : std::nullopt;
    }
    if (name == "width" || name == "height") {
        if (!value.empty() && value.back() == '%') {
            const auto percent = Capped(value.substr(0, value.size() - 1), 0, 100);
            return percent ? std::optional(*percent + "%") : std::nullopt;
        }
        return Capped(value, 0, 1000);
    }
    if (name == "border" || name == "cellpadding" || name == "cellspacing") {
        return Capped(value, 0, 20);
    }
    if (name == "colspan" || name == "rowspan") return Capped(value, 1, 16);
    if (name == "size") {
        const std::string_view digits =
            value.substr(value.starts_with('+') || value.starts_with('-'));
        const auto size = Number(digits);
        if (!size || *size < 1 || *size > 7) return std::nullopt;
        return std::string(value.substr(0, value.size() - digits.size())) + std::to_string(*size);
    }
    if (name == "color" || name == "bgcolor") {
        const bool plain = !value.empty() && value.size() <= 20 &&
                           std::all_of(value.begin(), value.end(), [](char c) {
                               return c == '#' || IsAsciiDigit(c) || IsAsciiLetter(c);
                           });
        return plain ? std::optional(std::string(value)) : std::nullopt;
    }
    const std::string lower = Lower(value);
    const std::string_view allowed =
        name == "align" ? " left center right justify " : " top middle bottom ";
    return IsAmong(allowed, lower) ? std::optional(lower) : std::nullopt;
}

class Sanitizer {
public:
    explicit Sanitizer(std::string_view html) : m_in(html) {}

    std::string Run() {
        while (m_pos < m_in.size()) {
            const std::string_view rest = m_in.substr(m_pos);
            if (rest.starts_with("<!--")) {
                SkipPast(rest.find("-->", 4), 3);
            } else if (rest.starts_with("<!") || rest.starts_with("<?")) {
                SkipPast(rest.find('>'), 1);
            } else if (rest.size() > 1 && rest[0] == '<' &&
                       (IsAsciiLetter(rest[1]) ||
                        (rest.size() > 2 && rest[1] == '/' && IsAsciiLetter(rest[2])))) {
                Tag();
            } else {
                Text(rest[0]);
                ++m_pos;
            }
        }
        CloseThrough(0);
        return std::move(m_out);
    }

private:
    using Attributes = std::vector<std::pair<std::string, std::string_view>>;

    void SkipPast(std::size_t found, std::size_t length) {
        m_pos = found == std::string_view::npos ? m_in.size() : m_pos + found + length;
    }

    // At "<" or "</" and a letter: reads the whole tag, its attributes with it.
    void Tag() {
        std::size_t p = m_pos + 1;
        const bool end = m_in[p] == '/';
        if (end) ++p;
        const std::size_t nameStart = p;
        while (p < m_in.size() && !IsBlank(m_in[p]) && m_in[p] != '/' && m_in[p] != '>') ++p;
        const std::string name = Lower(m_in.substr(nameStart, p - nameStart));
        Attributes attributes;
        for (;;) {
            while (p < m_in.size() && (IsBlank(m_in[p]) || m_in[p] == '/')) ++p;
            if (p >= m_in.size()) {  // cut off inside the tag: nothing more to show
                m_pos = m_in.size();
                return;
            }
            if (m_in[p] == '>') break;
            const std::size_t attributeStart = p++;
            while (p < m_in.size() && !IsBlank(m_in[p]) && m_in[p] != '/' && m_in[p] != '>' &&
                   m_in[p] != '=') {
                ++p;
            }
            std::string attribute = Lower(m_in.substr(attributeStart, p - attributeStart));
            while (p < m_in.size() && IsBlank(m_in[p])) ++p;
            std::string_view value;
            if (p < m_in.size() && m_in[p] == '=') {
                ++p;
                while (p < m_in.size() && IsBlank(m_in[p])) ++p;
                if (p < m_in.size() && (m_in[p] == '"' || m_in[p] == '\'')) {
                    const std::size_t close = m_in.find(m_in[p], p + 1);
                    if (close == std::string_view::npos) {
                        m_pos = m_in.size();
                        return;
                    }
                    value = m_in.substr(p + 1, close - p - 1);
                    p = close + 1;
                } else {
                    const std::size_t valueStart = p;
                    while (p < m_in.size() && !IsBlank(m_in[p]) && m_in[p] != '>') ++p;
                    value = m_in.substr(valueStart, p - valueStart);
                }
            }
            attributes.emplace_back(std::move(attribute), value);
        }
        m_pos = p + 1;
        if (end) {
            EndTag(name);
        } else {
            StartTag(name, attributes);
        }
    }

    void StartTag(const std::string& name, const Attributes& attributes) {
        if (std::find(std::begin(kHidden), std::end(kHidden), name) != std::end(kHidden)) {
            const std::string_view rest = m_in.substr(m_pos);
            std::size_t close = rest.find("</");
            while (close != std::string_view::npos &&
                   !StartsWithIgnoringAsciiCase(rest.substr(close + 2), name)) {
                close = rest.find("</", close + 2);
            }
            SkipPast(close == std::string_view::npos ? close : rest.find('>', close), 1);
            return;
        }
        const auto known = std::find_if(std::begin(kElements), std::end(kElements),
                                        [&name](const Element& e) { return e.name == name; });
        if (known == std::end(kElements)) return;
        const Element& element = *known;
        CloseImplied(name);
        const bool table = name == "table";
        const bool row = name == "tr" || name == "td" || name == "th";
        if (m_elements >= kMaxElements || (!element.empty && m_open.size() >= kMaxDepth) ||
            (table && (m_tables >= kMaxTables || OpenCount("table") >= kMaxTableDepth)) ||
            (row && OpenCount("table") == 0)) {
            return;
        }
        ++m_elements;
        if (table) ++m_tables;
        m_out += "<" + name;
        std::vector<std::string_view> written;
        for (const auto& [attribute, value] : attributes) {
            if (!IsAmong(" " + std::string(element.attributes) + " ", attribute) ||
                std::find(written.begin(), written.end(), attribute) != written.end()) {
                continue;  // not kept, or a repeat, where the first one counts
            }
            written.push_back(attribute);
            if (const auto clean = CleanValue(attribute, value)) {
                m_out += " " + attribute + "=\"" + *clean + "\"";
            }
        }
        m_out += ">";
        if (!element.empty) m_open.push_back(element.name);
        m_run = 0;
    }

    void EndTag(const std::string& name) {
        for (std::size_t i = m_open.size(); i-- > 0;) {
            if (m_open[i] == name) {
                CloseThrough(i);
                return;
            }
        }
    }

    // What HTML closes without an end tag: a list item at the next one, a cell at the next
    // cell or row, a row at the next row, a paragraph at the next block.
    void CloseImplied(std::string_view name) {
        if (name == "li") CloseNearest(" li ", " ul ol table td th ");
        if (name == "td" || name == "th") CloseNearest(" td th ", " tr table ");
        if (name == "tr") CloseNearest(" tr ", " table ");
        if (IsAmong(" p div center h1 h2 h3 h4 h5 h6 ul ol table hr ", name)) {
            CloseNearest(" p ", "");
        }
    }

    // Closes the innermost open element among `targets`, unless an element among `stops` (or,
    // with no stops, anything but an inline element) is open inside it.
    void CloseNearest(std::string_view targets, std::string_view stops) {
        for (std::size_t i = m_open.size(); i-- > 0;) {
            if (IsAmong(targets, m_open[i])) {
                CloseThrough(i);
                return;
            }
            if (stops.empty() ? !IsAmong(kInline, m_open[i]) : IsAmong(stops, m_open[i])) return;
        }
    }

    void CloseThrough(std::size_t index) {
        while (m_open.size() > index) {
            m_out += "</" + std::string(m_open.back()) + ">";
            m_open.pop_back();
        }
    }

    int OpenCount(std::string_view name) const {
        return int(std::count(m_open.begin(), m_open.end(), name));
    }

    void Text(char c) {
        if (c == '\0') return;
        if (IsBlank(c)) {
            m_run = 0;
            m_entity = 0;
            m_out += c;
            return;
        }
        const bool startsCharacter = (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        if (startsCharacter && m_entity == 0 && m_run >= kMaxRun) {
            m_out += "&#8203;";
            m_run = 0;
        }
        if (c == '&') {
            m_entity = 1;
        } else if (m_entity > 0) {
            const bool name = IsAsciiLetter(c) || IsAsciiDigit(c) || c == '#';
            m_entity = name && m_entity < kMaxEntity ? m_entity + 1 : 0;
        }
        ++m_run;
        if (c == '<') {
            m_out += "&lt;";
        } else if (c == '>') {
            m_out += "&gt;";
        } else {
            m_out += c;
        }
    }

    std::string_view m_in;
    std::size_t m_pos = 0;
    std::string m_out;
    std::vector<std::string_view> m_open;
    int m_elements = 0;
    int m_tables = 0;
    std::size_t m_run = 0;
    std::size_t m_entity = 0;  // characters of a character reference so far, 0 outside one
};

}  // namespace

std::string SanitizeAdvertPage(std::string_view html) {
    return Sanitizer(html).Run();
}

}  // namespace tolvane
