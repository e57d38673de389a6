#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace tolvane {

struct WavFormat {
    int channels = 0;       // 1 or 2
    int sampleRate = 0;     // frames per second
    int bitsPerSample = 0;  // 8 (unsigned) or 16 (signed little-endian)

    int BytesPerFrame() const { return channels * bitsPerSample / 8; }
};

struct WavLayout {
    WavFormat format;
    std::uint64_t dataOffset = 0;
    std::uint64_t dataBytes = 0;  // whole frames, within the file
};

// Reads `length` bytes at `offset` into `buffer`; false when they are not all there.
using WavReader = std::function<bool(std::uint64_t offset, void* buffer, std::size_t length)>;

// Finds the PCM format and the sample data of a RIFF/WAVE file of `fileSize` bytes. Sizes in
// the file are checked against `fileSize`; nothing is read beyond it and nothing is allocated.
// nullopt for anything but 8/16-bit PCM, mono or stereo, at a plausible rate.
std::optional<WavLayout> ParseWav(const WavReader& read, std::uint64_t fileSize);

inline constexpr int kMinSampleRate = 1000;
inline constexpr int kMaxSampleRate = 384000;

}  // namespace tolvane
