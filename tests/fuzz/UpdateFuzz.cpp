// The update library's readers over arbitrary server bytes: a description that parses has a
// usable download address, an offer only ever names a page on https:// on the description's
// host, versions read back as they print, and a web address splits into a usable host.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "promo/UpdateCheck.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    if (const auto description = tolvane::ParseUpdateDescription(text)) {
        Check(!description->downloadAddress.empty());
        Check(description->downloadAddress.size() <= tolvane::kMaxDownloadAddressBytes);
        for (char c : description->downloadAddress) Check(c > ' ' && c < 0x7F);
        Check(tolvane::ParseVersion(tolvane::VersionText(description->version)) ==
              description->version);
        tolvane::UpdateOfferText(*description, "3.8.0.3");
    }
    constexpr std::string_view kFrom = "https://update.tolvane.example/46.txt";
    if (const auto offer = tolvane::UpdateOfferFor(text, "3.8.0.3", kFrom)) {
        Check(offer->version > *tolvane::ParseVersion("3.8.0.3"));
        const auto page = tolvane::SplitWebAddress(offer->downloadAddress);
        Check(page && page->scheme == "https" && page->host == "update.tolvane.example");
    }
    if (const auto version = tolvane::ParseVersion(text)) {
        Check(tolvane::ParseVersion(tolvane::VersionText(*version)) == version);
    }
    if (const auto address = tolvane::SplitWebAddress(text)) {
        Check(!address->host.empty() && address->port != 0 && address->path.front() == '/');
        for (char c : address->host) Check(c != '@' && c != ':' && c != '/' && c != '\\');
    }
    return 0;
}
