// The update library's readers over arbitrary server bytes: a description that parses has a
// usable download address, versions read back as they print, and an HTTP reply yields a body
// no longer than allowed that lies inside the reply.
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
    if (const auto offer = tolvane::UpdateOfferFor(text, "3.8.0.3")) {
        Check(offer->version > *tolvane::ParseVersion("3.8.0.3"));
    }
    if (const auto version = tolvane::ParseVersion(text)) {
        Check(tolvane::ParseVersion(tolvane::VersionText(*version)) == version);
    }
    if (const auto address = tolvane::SplitHttpAddress(text)) {
        Check(!address->host.empty());
        tolvane::HttpGetRequest(*address, "Tolvane");
    }
    constexpr std::size_t kLimit = 1024;
    if (const auto body = tolvane::HttpReplyBody(text, kLimit)) {
        Check(body->size() <= kLimit && body->size() <= size);
    }
    return 0;
}
