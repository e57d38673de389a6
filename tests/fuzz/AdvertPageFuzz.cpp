// Advert pages: whatever a server sends, what is shown holds only kept elements without an event
// handler or a style, each closed in order and nested no deeper than the limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "promo/AdvertPage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string shown =
        tolvane::SanitizeAdvertPage({reinterpret_cast<const char*>(data), size});
    const std::string kept =
        " a b big body center div em font h1 h2 h3 h4 h5 h6 i li ol p s "
        "small span strike strong sub sup table td th tr u ul br hr img ";
    std::vector<std::string> open;
    for (std::size_t at = shown.find('<'); at != std::string::npos; at = shown.find('<', at + 1)) {
        const bool end = shown[at + 1] == '/';
        const std::string tag = shown.substr(at + 1 + end, shown.find('>', at) - at - 1 - end);
        const std::string name = " " + tag.substr(0, tag.find(' ')) + " ";
        const bool empty = name == " br " || name == " hr " || name == " img ";
        if (kept.find(name) == std::string::npos || tag.find(" on") != std::string::npos ||
            tag.find(" style") != std::string::npos ||
            (end && (open.empty() || open.back() != name))) {
            std::abort();
        }
        if (end) open.pop_back();
        if (!end && !empty) open.push_back(name);
        if (open.size() > 24) std::abort();
    }
    if (!open.empty()) std::abort();
    return 0;
}
