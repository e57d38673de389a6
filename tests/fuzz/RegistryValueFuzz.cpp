// The text a registry value of any type and content reads as: never out of bounds, strings end
// at their first NUL, binary data appends two hexadecimal digits at most per byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "autostart/RegistryValueText.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// Expansion as the system does it into a fixed buffer: what fits, then NULs.
std::string Expand(const std::string& source, std::size_t bufferChars) {
    std::string buffer(bufferChars, '\0');
    buffer.replace(0, std::min(source.size(), bufferChars), source, 0, bufferChars);
    return buffer;
}

}  // namespace

// Input: [type][length of the text passed in][that text][stored bytes].
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::uint32_t type = data[0] % 10;
    const std::size_t passedLength = std::min<std::size_t>(data[1], size - 2);
    const std::string passedIn(reinterpret_cast<const char*>(data) + 2, passedLength);
    const std::string_view stored(reinterpret_cast<const char*>(data) + 2 + passedLength,
                                  size - 2 - passedLength);

    const std::string text = tolvane::RegValueText(type, stored, passedIn, Expand);
    switch (type) {
        case 1:  // REG_SZ
        case 2:  // REG_EXPAND_SZ
            Check(text.find('\0') == std::string::npos && text.size() <= stored.size());
            break;
        case 3:  // REG_BINARY
            Check(text.compare(0, passedIn.size(), passedIn) == 0 &&
                  text.size() <= passedIn.size() + 2 * stored.size());
            break;
        case 7:  // REG_MULTI_SZ
            Check(text.size() + 1 == stored.size() || (stored.empty() && text.empty()));
            break;
        case 4:  // REG_DWORD
        case 5:  // REG_DWORD_BIG_ENDIAN
            Check(!text.empty() && text.size() <= 11);
            break;
        default:
            Check(text == passedIn);
            break;
    }
    return 0;
}
