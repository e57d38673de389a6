#include "qt/AlsaSoundStream.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "TempFolder.h"
#include "WavBuilder.h"
#include "WavCases.h"
#include "voice/AnnouncementAudio.h"

namespace tolvane::testing {
namespace {

// Ticks from here, as the feeder's thread would, for at most two seconds.
struct ThisThread final : SoundThread {
    bool Start(std::function<bool(bool)> tick) override {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (tick(std::chrono::steady_clock::now() > deadline)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }
    void Stop() override {}
    void Post(std::function<void()> task) override { task(); }
};

// One announcement of the clip at `path`.
void PlaySync(AlsaSoundStream& stream, const std::string& path, int volume) {
    ThisThread thread;
    StreamFeeder feeder(stream, thread);
    feeder.Start({path}, volume, nullptr);
}

// ALSA's "null" device accepts samples without pacing them, so only our own work is timed here.
TEST(AlsaSoundStream, EveryKindOfFileReturnsPromptly) {
    TempFolder folder("clips");
    const std::string pcm16 = Fmt(1, 1, 22050, 16);
    const std::vector<std::string> paths = {
        folder.Put("good.wav", PlainClip(2205)),
        folder.Put("stereo8.wav", Wav({{"fmt ", Fmt(1, 2, 8000, 8)}, {"data", Samples(800)}})),
        folder.Put("truncated.wav", Wav({{"fmt ", pcm16}, {"data", Samples(10), 0xFFFFFFF0u}})),
        folder.Put("huge_claims.wav",
                   Wav({{"fmt ", pcm16}, {"data", Samples(10), 0x7FFFFFFFu}}, 0xFFFFFFFFu)),
        folder.Put("zero_channels.wav",
                   Wav({{"fmt ", Fmt(1, 0, 22050, 16)}, {"data", Samples(8)}})),
        folder.Put("absurd_rate.wav",
                   Wav({{"fmt ", Fmt(1, 1, 4000000000u, 16)}, {"data", Samples(8)}})),
        folder.Put("garbage.wav", std::string(5000, '\xA5')),
        folder.Put("empty.wav", ""),
        folder.Path() + "/missing.wav",
        folder.Path(),  // a folder, not a file
    };
    for (const char* device : {"null", "no_such_device_here"}) {
        AlsaSoundStream player(device);
        for (const std::string& path : paths) {
            SCOPED_TRACE(std::string(device) + " " + path);
            const auto start = std::chrono::steady_clock::now();
            PlaySync(player, path, 100);
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        }
    }
}

// ALSA's "file" device records the raw samples written: for every row the stream gets exactly
// the clip's samples at the volume, read from its file, or the alert.
TEST(AlsaSoundStream, WritesTheSamplesOfTheImageOrTheAlert) {
    TempFolder folder("played");
    const std::string capture = folder.Path() + "/played.raw";
    AlsaSoundStream player("file:FILE=" + capture + ",FORMAT=raw");
    const std::size_t alertBytes = 22050 * 18 / 100 * 2;
    for (const WavRow& row : WavRows()) {
        SCOPED_TRACE(row.name);
        const int volume = row.bytes.size() % 2 == 0 ? 100 : 40;
        PlaySync(player, folder.Put("clip.wav", row.bytes), volume);
        std::stringstream played;
        played << std::ifstream(capture, std::ios::binary).rdbuf();
        AnnouncementSource source(player, {folder.Path() + "/clip.wav"}, volume);
        std::vector<std::int16_t> samples(1 << 16);
        samples.resize(source.Read(samples.data(), samples.size() / 2) * source.Format().channels);
        EXPECT_EQ(played.str(),
                  std::string(reinterpret_cast<const char*>(samples.data()), samples.size() * 2));
    }
    PlaySync(player, "", 100);
    std::stringstream played;
    played << std::ifstream(capture, std::ios::binary).rdbuf();
    EXPECT_EQ(played.str().size(), alertBytes);
}

}  // namespace
}  // namespace tolvane::testing
