// Advert pages: whatever a server sends, what is shown holds only the kept elements, each one
// closed in order, nested no deeper than the limit, with no event handler or style among their
// attributes, and at most a few times the size of the page.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "promo/AdvertPage.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

constexpr std::string_view kKept =
    " a b big body center div em font h1 h2 h3 h4 h5 h6 i li ol p s small span strike strong "
    "sub sup table td th tr u ul ";
constexpr std::string_view kEmpty = " br hr img ";

bool Among(std::string_view words, const std::string& word) {
    return words.find(" " + word + " ") != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view page(reinterpret_cast<const char*>(data), size);
    const std::string shown = tolvane::SanitizeAdvertPage(page);
    Check(shown.size() <= 8 * size + 64);
    std::vector<std::string> open;
    for (std::size_t at = shown.find('<'); at != std::string::npos; at = shown.find('<', at + 1)) {
        const bool end = shown[at + 1] == '/';
        const std::size_t nameStart = at + (end ? 2 : 1);
        const std::size_t tagEnd = shown.find('>', at);
        Check(tagEnd != std::string::npos);
        const std::string tag = shown.substr(nameStart, tagEnd - nameStart);
        const std::string name = tag.substr(0, tag.find(' '));
        Check(tag.find(" on") == std::string::npos && tag.find(" style") == std::string::npos);
        if (end) {
            Check(!open.empty() && open.back() == name);
            open.pop_back();
        } else if (!Among(kEmpty, name)) {
            Check(Among(kKept, name));
            open.push_back(name);
            Check(open.size() <= 24);
        }
    }
    Check(open.empty());
    return 0;
}
