#include "voice/AnnouncementAudio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>

#include "WavBuilder.h"
#include "fakes/RecordingSoundStream.h"
#include "voice/WavFile.h"

namespace tolvane::testing {
namespace {

std::vector<std::int16_t> Alert(const StreamFormat& format) {
    std::vector<std::int16_t> alert;
    AppendAlert(format, alert);
    return alert;
}

// Clips after the first are converted to its stream; the pause is the same at every boundary,
// whatever stands there, and a clip that cannot be played gives the alert in its place.
TEST(JoinClips, OnePauseAtEveryBoundaryAndTheAlertInPlace) {
    const std::string mono22 = Wav({{"fmt ", Fmt(1, 1, 22050, 16)}, {"data", Samples(2205 * 2)}});
    const std::string stereo44 = Wav({{"fmt ", Fmt(1, 2, 44100, 16)}, {"data", Samples(4410 * 4)}});
    const std::string bad = "RIFF";
    const struct {
        std::vector<std::optional<std::string>> files;
        StreamFormat format;
        std::vector<std::size_t> frames;  // each clip's length in the stream; 0: the alert
    } rows[] = {
        {{mono22, stereo44, mono22}, {1, 22050}, {2205, 2205, 2205}},
        {{stereo44, mono22, stereo44}, {2, 44100}, {4410, 4410, 4410}},
        {{bad, mono22, std::nullopt, stereo44}, {1, 22050}, {0, 2205, 0, 2205}},
        {{std::nullopt, bad}, {1, 22050}, {0, 0}},
    };
    for (const auto& row : rows) {
        const AnnouncementAudio audio = JoinClips(row.files, 100);
        EXPECT_EQ(audio.format, row.format);
        const std::size_t pause =
            static_cast<std::size_t>(row.format.sampleRate) * kClipPauseMs / 1000;
        const std::size_t alert = Alert(row.format).size() / row.format.channels;
        std::size_t at = 0;
        ASSERT_EQ(audio.clipFrames.size(), row.frames.size());
        for (std::size_t i = 0; i < row.frames.size(); ++i) {
            EXPECT_EQ(audio.clipFrames[i], at) << i;
            at += (row.frames[i] == 0 ? alert : row.frames[i]) + pause;
        }
        EXPECT_EQ(audio.Frames(), at - pause);
    }
}

// Whatever the device's size and pace, the feeder keeps the queue ahead until all is written,
// loses and repeats nothing, and ends once the device is empty; a device that takes nothing is
// given up. A timed start writes silence first: the device's delay short of the start.
TEST(StreamFeeder, KeepsTheQueueAheadAndEndsWhenHeard) {
    const struct {
        std::size_t room;
        std::size_t perTick;
        std::optional<int> startInMs;
    } rows[] = {{100000, 441, {}}, {100000, 5000, {}}, {7000, 100, {}},
                {0, 100, {}},      {100000, 441, 300}, {100000, 441, 60}, {100000, 441, -1000}};
    const std::string clip = Wav({{"fmt ", Fmt(1, 1, 22050, 16)}, {"data", Samples(22050 * 2)}});
    for (const auto& row : rows) {
        fakes::RecordingSoundStream stream;
        stream.room = row.room;
        StreamFeeder feeder(stream);
        const AnnouncementAudio audio = JoinClips({clip, clip, clip}, 100);
        int ended = 0;
        std::size_t shortest = audio.Frames();
        stream.beforeTick = [&](int) {
            if (stream.written.size() < audio.samples.size())
                shortest = std::min(shortest, stream.queued);
        };
        std::optional<StreamFeeder::Instant> startAt;
        if (row.startInMs) {
            startAt = std::chrono::steady_clock::now() + std::chrono::milliseconds(*row.startInMs);
        }
        feeder.Start(audio, [&] { ++ended; }, startAt);
        stream.PlayOut(row.perTick);
        EXPECT_EQ(ended, 1);
        EXPECT_FALSE(feeder.Playing());
        if (row.room == 0) continue;
        const std::size_t silence = stream.written.size() - audio.samples.size();
        // Timed after at most one tick of the device's play; a start already passed has none.
        const std::size_t expected = row.startInMs > 0 ? 22050u * *row.startInMs / 1000 : 0;
        EXPECT_LE(silence, expected + row.perTick) << *row.startInMs;
        EXPECT_GE(silence + 22050 * 20 / 1000, expected) << *row.startInMs;
        EXPECT_TRUE(std::equal(audio.samples.begin(), audio.samples.end(),
                               stream.written.begin() + static_cast<std::ptrdiff_t>(silence)));
        EXPECT_EQ(std::count(stream.written.begin(),
                             stream.written.begin() + static_cast<std::ptrdiff_t>(silence), 0),
                  static_cast<std::ptrdiff_t>(silence));
        if (!row.startInMs) {
            EXPECT_GE(shortest, 22050u * kQueueAheadMs / 1000 - row.perTick);
        }
    }
}

}  // namespace
}  // namespace tolvane::testing
