#include "voice/WavFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>

namespace tolvane {
namespace {

constexpr int kMaxChunks = 4096;
constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
constexpr std::uint32_t kExtensibleSize = 40;
constexpr std::uint16_t kExtensibleExtraBytes = 22;
// The sub-format GUIDs are {tag-0000-0010-8000-00AA00389B71}: the plain format tag in the
// first two bytes, this tail after them.
constexpr unsigned char kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                              0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

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
    const std::uint16_t channels = U16(body + 2);
    const std::uint32_t rate = U32(body + 4);
    // The average byte rate is not checked: nothing here uses it, and a player that needs
    // one gets it recomputed from the validated fields.
    const std::uint16_t blockAlign = U16(body + 12);
    const std::uint16_t bits = U16(body + 14);
    if (tag == kFormatExtensible) {
        if (size < kExtensibleSize || U16(body + 16) < kExtensibleExtraBytes) return std::nullopt;
        const std::uint16_t validBits = U16(body + 18);
        if (validBits > bits) return std::nullopt;
        if (std::memcmp(body + 26, kSubFormatTail, sizeof kSubFormatTail) != 0) {
            return std::nullopt;
        }
        tag = U16(body + 24);
    }
    WavFormat format;
    if (tag == kFormatPcm) {
        if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return std::nullopt;
    } else if (tag == kFormatFloat) {
        if (bits != 32) return std::nullopt;
        format.isFloat = true;
    } else {
        return std::nullopt;
    }
    if (channels < 1 || channels > kMaxChannels) return std::nullopt;
    if (rate < kMinSampleRate || rate > kMaxSampleRate) return std::nullopt;
    format.channels = channels;
    format.sampleRate = static_cast<int>(rate);
    format.bitsPerSample = bits;
    if (blockAlign != format.BytesPerFrame()) return std::nullopt;
    return format;
}

std::int16_t SampleToPcm16(const WavFormat& format, const unsigned char* p) {
    switch (format.bitsPerSample) {
        case 8:
            return static_cast<std::int16_t>((p[0] - 128) * 256);
        case 16:
            return static_cast<std::int16_t>(U16(p));
        case 24:
            return static_cast<std::int16_t>(U16(p + 1));
        default:
            break;
    }
    if (!format.isFloat) return static_cast<std::int16_t>(U16(p + 2));
    const float value = std::bit_cast<float>(U32(p));
    if (std::isnan(value)) return 0;
    const float clipped = std::clamp(value, -1.0f, 1.0f);
    return static_cast<std::int16_t>(std::lround(clipped * 32767.0f));
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
            std::array<unsigned char, kExtensibleSize> fmt{};
            const auto length =
                static_cast<std::uint32_t>(std::min<std::uint64_t>({size, fmt.size(), available}));
            if (!read(body, fmt.data(), length)) return std::nullopt;
            format = ParseFormat(fmt.data(), length);
            if (!format) return std::nullopt;
        } else if (std::memcmp(header, "data", 4) == 0) {
            if (!format) return std::nullopt;
            // A streaming writer leaves 0xFFFFFFFF here and a truncated file declares more
            // than it holds: the file's real end decides. A size of 0 is an empty clip, never
            // a licence to play the chunks after it as sound.
            std::uint64_t bytes = std::min<std::uint64_t>(size, available);
            bytes -= bytes % static_cast<std::uint64_t>(format->BytesPerFrame());
            if (bytes == 0) return std::nullopt;
            return WavLayout{*format, body, bytes};
        }
        offset = body + size + (size & 1u);
    }
    return std::nullopt;
}

std::optional<WavLayout> ParseWav(std::string_view file) {
    return ParseWav(
        [file](std::uint64_t offset, void* buffer, std::size_t length) {
            if (offset > file.size() || length > file.size() - offset) return false;
            std::memcpy(buffer, file.data() + offset, length);
            return true;
        },
        file.size());
}

int Pcm16Channels(const WavFormat& format) {
    return std::min(format.channels, 2);
}

namespace {

template <typename Put>
void ForEachPcm16(const WavFormat& format, const unsigned char* samples, std::size_t frames,
                  int volumePercent, Put put) {
    const int volume =
        (volumePercent >= 0 && volumePercent <= kFullVolume) ? volumePercent : kFullVolume;
    const std::size_t frameBytes = static_cast<std::size_t>(format.BytesPerFrame());
    const std::size_t sampleBytes = static_cast<std::size_t>(format.bitsPerSample / 8);
    const int channels = Pcm16Channels(format);
    for (std::size_t frame = 0; frame < frames; ++frame) {
        const unsigned char* first = samples + frame * frameBytes;
        for (int channel = 0; channel < channels; ++channel) {
            const int sample =
                SampleToPcm16(format, first + static_cast<std::size_t>(channel) * sampleBytes);
            put(static_cast<std::int16_t>(sample * volume / kFullVolume));
        }
    }
}

}  // namespace

void AppendPcm16(const WavFormat& format, const unsigned char* samples, std::size_t frames,
                 std::vector<std::int16_t>& out, int volumePercent) {
    out.reserve(out.size() + frames * static_cast<std::size_t>(Pcm16Channels(format)));
    ForEachPcm16(format, samples, frames, volumePercent,
                 [&out](std::int16_t sample) { out.push_back(sample); });
}

}  // namespace tolvane
