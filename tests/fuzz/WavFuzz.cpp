// The WAV reader over arbitrary bytes: it reads nothing outside the file, the sample data it
// finds lies inside it in whole frames; and played as an announcement's clips, before and after a
// clip of the voice pack, the bytes give whole frames in a format the device takes, in bounded
// memory, whatever their rate and channels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "voice/AnnouncementAudio.h"
#include "voice/WavFile.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

struct Bytes final : tolvane::ClipFile {
    explicit Bytes(std::string bytes) : data(std::move(bytes)) {}
    std::uint64_t Size() override { return data.size(); }
    bool Read(std::uint64_t offset, void* buffer, std::size_t length) override {
        Check(offset <= data.size() && length <= data.size() - offset);
        std::memcpy(buffer, data.data() + offset, length);
        return true;
    }
    std::string data;
};

// "in" is the fuzzer's input; anything else a 22 050 Hz mono clip.
struct Files final : tolvane::SoundStream {
    std::unique_ptr<tolvane::ClipFile> OpenClip(const std::string& path) override {
        if (path == "in") return std::make_unique<Bytes>(input);
        static const char kHeader[] =
            "RIFF\x24\x01\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x22\x56\0\0\x44\xac\0\0"
            "\x02\0\x10\0data\x00\x01\0\0";
        std::string clip(kHeader, sizeof kHeader - 1);
        clip.resize(clip.size() + 256, '\x40');
        return std::make_unique<Bytes>(clip);
    }
    bool Open(const tolvane::StreamFormat&) override { return true; }
    std::size_t Write(const std::int16_t*, std::size_t frames) override { return frames; }
    std::size_t QueuedFrames() override { return 0; }
    void Close() override {}
    std::string input;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const tolvane::WavReader read = [&](std::uint64_t offset, void* buffer, std::size_t length) {
        Check(offset <= size && length <= size - offset);
        std::memcpy(buffer, data + offset, length);
        return true;
    };
    const std::optional<tolvane::WavLayout> layout = tolvane::ParseWav(read, size);
    if (layout) {
        const auto frame = static_cast<std::uint64_t>(layout->format.BytesPerFrame());
        Check(frame != 0 && layout->dataBytes != 0 && layout->dataBytes % frame == 0 &&
              layout->dataOffset + layout->dataBytes <= size);
    }
    Files files;
    files.input.assign(reinterpret_cast<const char*>(data), size);
    for (const std::vector<std::string>& paths :
         {std::vector<std::string>{"in", "pack"}, std::vector<std::string>{"pack", "in"}}) {
        tolvane::AnnouncementSource source(files, paths, static_cast<int>(size % 101));
        const tolvane::StreamFormat format = source.Format();
        Check(format.channels >= 1 && format.channels <= 2 &&
              format.sampleRate >= tolvane::kMinSampleRate &&
              format.sampleRate <= tolvane::kMaxSampleRate);
        std::vector<std::int16_t> block(4096 * 2);
        // A second of sound at most: longer clips are refused, and time is what a fuzzer has.
        for (long long frames = 0; frames < format.sampleRate;) {
            const std::size_t got = source.Read(block.data(), 4096);
            if (got == 0) break;
            frames += static_cast<long long>(got);
        }
    }
    return 0;
}
