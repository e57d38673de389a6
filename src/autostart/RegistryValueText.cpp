#include "autostart/RegistryValueText.h"

#include "autostart/StartAtBoot.h"

namespace tolvane {
namespace {

std::string UpToFirstNul(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

}  // namespace

std::string RegValueText(std::uint32_t storedType, std::string_view stored,
                         const std::string& passedIn, const ExpandEnvironment& expand) {
    switch (storedType) {
        case kRegSz:
            return UpToFirstNul(stored);
        case kRegExpandSz: {
            if (!expand) return UpToFirstNul(stored);
            const std::size_t bufferChars = stored.size() + 256;
            std::string buffer = expand(UpToFirstNul(stored), bufferChars);
            if (buffer.size() > bufferChars) buffer.resize(bufferChars);
            return UpToFirstNul(buffer);
        }
        case kRegMultiSz:
            // An empty value has no last character to drop.
            return std::string(stored.substr(0, stored.empty() ? 0 : stored.size() - 1));
        case kRegBinary: {
            static constexpr char kHex[] = "0123456789ABCDEF";
            std::string text = passedIn;
            for (unsigned char byte : stored) {
                if (byte >= 16) text += kHex[byte >> 4];
                text += kHex[byte & 15];
            }
            return text;
        }
        case kRegDword:
        case kRegDwordBigEndian: {
            std::uint32_t value = 0;
            for (std::size_t i = 0; i < 4 && i < stored.size(); ++i) {
                value |= static_cast<std::uint32_t>(static_cast<unsigned char>(stored[i]))
                         << (8 * i);
            }
            return std::to_string(static_cast<std::int32_t>(value));
        }
        default:
            return passedIn;
    }
}

}  // namespace tolvane
