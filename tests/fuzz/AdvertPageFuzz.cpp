// Advert pages: whatever a server sends, what is shown holds only the kept elements, each one
// closed in order and nested no deeper than the limit, without an event handler or a style.
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
        "small span strike strong sub sup table td th tr u ul ";
    std::vector<std::string> open;
    for (std::size_t at = shown.find('<'); at != std::string::npos; at = shown.find('<', at + 1)) {
        const bool end = shown[at + 1] == '/';
        const std::string tag = shown.substr(at + 1 + end, shown.find('>', at) - at - 1 - end);
        const std::string name = " " + tag.substr(0, tag.find(' ')) + " ";
        if (tag.find(" on") != std::string::npos || tag.find(" style") != std::string::npos ||
            (end && (open.empty() || open.back() != name))) {
            std::abort();
        }
        if (end) {
            open.pop_back();
        } else if (std::string(" br hr img ").find(name) == std::string::npos) {
            if (kept.find(name) == std::string::npos || open.size() == 24) std::abort();
            open.push_back(name);
        }
    }
    if (!open.empty() || shown.size() > 8 * size + 64) std::abort();
    return 0;
}
