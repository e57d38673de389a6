// The WAV reader over arbitrary bytes: it reads nothing outside the file, the sample data it
// finds lies inside it in whole frames, and every frame becomes 16-bit samples.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "voice/WavFile.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const tolvane::WavReader read = [&](std::uint64_t offset, void* buffer, std::size_t length) {
        Check(offset <= size && length <= size - offset);
        std::memcpy(buffer, data + offset, length);
        return true;
    };
    const std::optional<tolvane::WavLayout> layout = tolvane::ParseWav(read, size);
    const std::optional<tolvane::WavLayout> again =
        tolvane::ParseWav(std::string_view(reinterpret_cast<const char*>(data), size));
    Check(layout.has_value() == again.has_value());
    if (!layout) return 0;
    const auto frame = static_cast<std::uint64_t>(layout->format.BytesPerFrame());
    Check(frame != 0 && layout->dataBytes != 0 && layout->dataBytes % frame == 0 &&
          layout->dataOffset + layout->dataBytes <= size);

    std::vector<std::int16_t> samples;
    const auto frames = static_cast<std::size_t>(layout->dataBytes / frame);
    tolvane::AppendPcm16(layout->format, data + layout->dataOffset, frames, samples);
    Check(samples.size() ==
          frames * static_cast<std::size_t>(tolvane::Pcm16Channels(layout->format)));
    return 0;
}
