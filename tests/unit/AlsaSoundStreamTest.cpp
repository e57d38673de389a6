#include "qt/AlsaSoundStream.h"

#include <gtest/gtest.h>

#include <cstring>

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

// Feeds `files` through the device as the event loop would, ticking every 2 ms; returns when
// the feeder has closed it, within `limit`.
bool Speak(AlsaSoundStream& stream, const std::vector<std::string>& paths,
           std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    bool ticking = false;
    stream.SetTicker([&ticking](bool run) { ticking = run; });
    std::vector<std::optional<std::string>> files;
    for (const std::string& path : paths) files.push_back(stream.ReadClip(path));
    StreamFeeder feeder(stream);
    feeder.Start(JoinClips(files, 100), nullptr);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (ticking && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        stream.Tick();
    }
    return !ticking;
}

// ALSA's "null" device accepts samples without pacing them, so only our own work is timed.
TEST(AlsaSoundStream, EveryKindOfFileEndsPromptly) {
    TempFolder folder("clips");
    const std::string pcm16 = Fmt(1, 1, 22050, 16);
    const std::vector<std::string> paths = {
        folder.Put("good.wav", PlainClip(2205)),
        folder.Put("stereo8.wav", Wav({{"fmt ", Fmt(1, 2, 8000, 8)}, {"data", Samples(800)}})),
        folder.Put("huge_claims.wav",
                   Wav({{"fmt ", pcm16}, {"data", Samples(10), 0x7FFFFFFFu}}, 0xFFFFFFFFu)),
        folder.Put("garbage.wav", std::string(5000, '\xA5')),
        folder.Path() + "/missing.wav",
        folder.Path(),  // a folder, not a file
    };
    for (const char* device : {"null", "no_such_device_here"}) {
        AlsaSoundStream stream(device);
        SCOPED_TRACE(device);
        EXPECT_TRUE(Speak(stream, paths, std::chrono::seconds(2)));
    }
}

// ALSA's "file" device records the raw samples written: the whole announcement, once.
TEST(AlsaSoundStream, WritesTheJoinedAnnouncement) {
    TempFolder folder("played");
    const std::string capture = folder.Path() + "/played.raw";
    AlsaSoundStream stream("file:FILE=" + capture + ",FORMAT=raw");
    std::vector<std::string> paths;
    std::vector<std::optional<std::string>> files;
    for (const WavRow& row : WavRows()) {
        paths.push_back(folder.Put(std::string(row.name) + ".wav", row.bytes));
        files.push_back(row.bytes);
    }
    paths.push_back("");
    files.push_back(std::nullopt);
    ASSERT_TRUE(Speak(stream, paths));
    std::stringstream played;
    played << std::ifstream(capture, std::ios::binary).rdbuf();
    const AnnouncementAudio audio = JoinClips(files, 100);
    ASSERT_EQ(played.str().size(), audio.samples.size() * 2);
    EXPECT_EQ(std::memcmp(played.str().data(), audio.samples.data(), played.str().size()), 0);
}

}  // namespace
}  // namespace tolvane::testing
