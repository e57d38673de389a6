#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvane {

struct WavFormat {
    int channels = 0;       // 1 to kMaxChannels, interleaved
    int sampleRate = 0;     // frames per second
    int bitsPerSample = 0;  // integer: 8 (unsigned), 16, 24 or 32 (signed); float: 32
    bool isFloat = false;   // IEEE 754 single precision, nominally -1.0 to 1.0

    int BytesPerFrame() const { return channels * bitsPerSample / 8; }
};

struct WavLayout {
    WavFormat format;
    std::uint64_t dataOffset = 0;
    std::uint64_t dataBytes = 0;  // whole frames, within the file
};

// Reads `length` bytes at `offset` into `buffer`; false when they are not all there.
using WavReader = std::function<bool(std::uint64_t offset, void* buffer, std::size_t length)>;

// Finds the sample format and the sample data of a RIFF/WAVE file of `fileSize` bytes. Sizes
// in the file are checked against `fileSize`; nothing is read beyond it and nothing is
// allocated. nullopt for anything but plain or WAVE_FORMAT_EXTENSIBLE integer PCM or 32-bit
// float with 1 to 8 channels at a plausible rate and a block alignment that fits them.
std::optional<WavLayout> ParseWav(const WavReader& read, std::uint64_t fileSize);

// The same over bytes held in memory.
std::optional<WavLayout> ParseWav(std::string_view file);

inline constexpr int kMinSampleRate = 1000;
inline constexpr int kMaxSampleRate = 384000;
inline constexpr int kMaxChannels = 8;

// Every playable format is played as 16-bit integer PCM. Mono stays mono; wider clips keep
// their first two channels, which are front left and right in every standard layout.
int Pcm16Channels(const WavFormat& format);

// The level our players give a clip, in percent of its recorded samples. A volume outside
// 0..100 (a spoilt setting) plays at full volume, as no setting does.
inline constexpr int kFullVolume = 100;

// Appends `frames` whole frames of `format`, read from `samples`, to `out` as interleaved
// 16-bit PCM of Pcm16Channels(format) channels. Integer samples keep their 16 most significant
// bits; float samples are clipped to -1.0..1.0 and NaN becomes silence. Each sample is then
// scaled to `volumePercent`, rounding towards silence.
void AppendPcm16(const WavFormat& format, const unsigned char* samples, std::size_t frames,
                 std::vector<std::int16_t>& out, int volumePercent = kFullVolume);

}  // namespace tolvane
