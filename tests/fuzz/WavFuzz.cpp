// The WAV reader over arbitrary bytes: it reads nothing outside the file, the sample data it
// finds lies inside it in whole frames.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

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
    if (!layout) return 0;
    const auto frame = static_cast<std::uint64_t>(layout->format.BytesPerFrame());
    Check(frame != 0 && layout->dataBytes != 0 && layout->dataBytes % frame == 0 &&
          layout->dataOffset + layout->dataBytes <= size);
    return 0;
}
