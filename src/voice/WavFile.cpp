#include "voice/WavFile.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tolvane {
namespace {

constexpr int kMaxChunks = 4096;
constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;

std::uint16_t U16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t U32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::optional<WavFormat> ParseFormat(const unsigned char* body, std::uint32_t size) {
    if (size < 16) return std::nullopt;
    std::uint16_t tag = U16(body);
    if (tag == kFormatExtensible) {
        // The sub-format GUID starts with the plain format tag.
        if (size < 26 || U16(body + 24) != kFormatPcm) return std::nullopt;
    } else if (tag != kFormatPcm) {
        return std::nullopt;
    }
    WavFormat format;
    format.channels = U16(body + 2);
    const std::uint32_t rate = U32(body + 4);
    format.bitsPerSample = U16(body + 14);
    if (format.channels < 1 || format.channels > 2) return std::nullopt;
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return std::nullopt;
    if (rate < kMinSampleRate || rate > kMaxSampleRate) return std::nullopt;
    format.sampleRate = static_cast<int>(rate);
    return format;
}

}  // namespace

std::optional<WavLayout> ParseWav(const WavReader& read, std::uint64_t fileSize) {
    unsigned char riff[12];
    if (fileSize < sizeof riff || !read(0, riff, sizeof riff)) return std::nullopt;
    if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) {
        return std::nullopt;
    }
    std::optional<WavFormat> format;
    std::uint64_t offset = sizeof riff;
    for (int chunk = 0; chunk < kMaxChunks && offset + 8 <= fileSize; ++chunk) {
        unsigned char header[8];
        if (!read(offset, header, sizeof header)) return std::nullopt;
        const std::uint32_t size = U32(header + 4);
        const std::uint64_t body = offset + 8;
        const std::uint64_t available = fileSize - body;
        if (std::memcmp(header, "fmt ", 4) == 0) {
            std::array<unsigned char, 40> fmt{};
            const auto length =
                static_cast<std::uint32_t>(std::min<std::uint64_t>({size, fmt.size(), available}));
            if (!read(body, fmt.data(), length)) return std::nullopt;
            format = ParseFormat(fmt.data(), length);
            if (!format) return std::nullopt;
        } else if (std::memcmp(header, "data", 4) == 0) {
            if (!format) return std::nullopt;
            // A streaming writer leaves 0 or 0xFFFFFFFF here; a truncated file declares more
            // than it holds. Either way the file's real end decides.
            std::uint64_t bytes = (size == 0 || size == 0xFFFFFFFFu)
                                      ? available
                                      : std::min<std::uint64_t>(size, available);
            bytes -= bytes % static_cast<std::uint64_t>(format->BytesPerFrame());
            if (bytes == 0) return std::nullopt;
            return WavLayout{*format, body, bytes};
        }
        offset = body + size + (size & 1u);
    }
    return std::nullopt;
}

}  // namespace tolvane
