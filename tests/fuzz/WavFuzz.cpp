// The WAV reader over arbitrary bytes: it reads nothing outside the file, the sample data it
// finds lies inside it in whole frames, and the image a Windows player would hand to the system
// is itself a clean 16-bit clip of the same length.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

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
    const std::optional<std::string> image =
        tolvane::PlayableImage(std::string_view(reinterpret_cast<const char*>(data), size));
    Check(layout.has_value() == image.has_value());
    if (!layout) return 0;
    const auto frame = static_cast<std::uint64_t>(layout->format.BytesPerFrame());
    Check(frame != 0 && layout->dataBytes != 0 && layout->dataBytes % frame == 0 &&
          layout->dataOffset + layout->dataBytes <= size);

    const std::optional<tolvane::WavLayout> clean = tolvane::ParseWav(*image);
    Check(clean.has_value() && clean->format.bitsPerSample == 16 && !clean->format.isFloat &&
          clean->format.sampleRate == layout->format.sampleRate &&
          clean->format.channels == tolvane::Pcm16Channels(layout->format) &&
          clean->dataBytes / clean->format.BytesPerFrame() == layout->dataBytes / frame &&
          clean->dataOffset + clean->dataBytes == image->size());
    return 0;
}
