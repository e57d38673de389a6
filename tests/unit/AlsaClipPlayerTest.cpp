#include "qt/AlsaClipPlayer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "TempFolder.h"
#include "WavBuilder.h"
#include "WavCases.h"

namespace tolvane::testing {
namespace {

// ALSA's "null" device accepts samples without pacing them, so only the player's own work is
// timed here.
TEST(AlsaClipPlayer, EveryKindOfFileReturnsPromptly) {
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
        AlsaClipPlayer player(device);
        for (const std::string& path : paths) {
            SCOPED_TRACE(std::string(device) + " " + path);
            const auto start = std::chrono::steady_clock::now();
            player.PlaySync(path, 100);
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        }
    }
}

// ALSA's "file" device records the raw samples the player writes: for every row the Linux
// player writes exactly the samples of the image the Windows player plays, at the same volume,
// or the alert.
TEST(AlsaClipPlayer, WritesTheSamplesOfTheImageOrTheAlert) {
    TempFolder folder("played");
    const std::string capture = folder.Path() + "/played.raw";
    AlsaClipPlayer player("file:FILE=" + capture + ",FORMAT=raw");
    const std::size_t alertBytes = 22050 * 18 / 100 * 2;
    for (const WavRow& row : WavRows()) {
        SCOPED_TRACE(row.name);
        const int volume = row.bytes.size() % 2 == 0 ? 100 : 40;
        player.PlaySync(folder.Put("clip.wav", row.bytes), volume);
        std::stringstream played;
        played << std::ifstream(capture, std::ios::binary).rdbuf();
        const std::optional<std::string> image = PlayableImage(row.bytes, volume);
        if (image) {
            EXPECT_EQ(played.str(), image->substr(44));
        } else {
            EXPECT_EQ(played.str().size(), alertBytes);
        }
    }
    player.PlaySync("", 100);
    std::stringstream played;
    played << std::ifstream(capture, std::ios::binary).rdbuf();
    EXPECT_EQ(played.str().size(), alertBytes);
}

}  // namespace
}  // namespace tolvane::testing
