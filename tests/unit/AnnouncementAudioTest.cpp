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

std::vector<std::int16_t> ReadAll(AnnouncementSource& source) {
    std::vector<std::int16_t> samples(4096 * 2);
    std::size_t frames = 0;
    for (std::size_t got = 1; got > 0; frames += got) {
        samples.resize((frames + 4096) * source.Format().channels);
        got = source.Read(samples.data() + frames * source.Format().channels, 4096);
    }
    samples.resize(frames * source.Format().channels);
    return samples;
}

// Clips after the first are converted to its stream; the pause is the same at every boundary,
// whatever stands there, and a clip that cannot be played (or no word lasts as long) gives the
// alert in its place and is named.
TEST(AnnouncementSource, OnePauseAtEveryBoundaryAndTheAlertInPlace) {
    const std::string mono22 = Wav({{"fmt ", Fmt(1, 1, 22050, 16)}, {"data", Samples(2205 * 2)}});
    const std::string stereo44 = Wav({{"fmt ", Fmt(1, 2, 44100, 16)}, {"data", Samples(4410 * 4)}});
    const std::string tooLong = Wav({{"fmt ", Fmt(1, 1, 1000, 8)}, {"data", Samples(20001)}});
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
        {{tooLong, mono22}, {1, 22050}, {0, 2205}},
    };
    for (const auto& row : rows) {
        fakes::RecordingSoundStream files;
        std::vector<std::string> paths, unplayable;
        for (const std::optional<std::string>& file : row.files) {
            paths.push_back(file ? std::to_string(paths.size()) : "");
            if (file) files.files[paths.back()] = *file;
            if (!file || *file == bad || *file == tooLong) unplayable.push_back(paths.back());
        }
        AnnouncementSource source(files, paths, 100);
        EXPECT_EQ(source.Format(), row.format);
        std::vector<std::int16_t> alert;
        AppendAlert(row.format, alert);
        const std::size_t pause =
            static_cast<std::size_t>(row.format.sampleRate) * kClipPauseMs / 1000;
        std::size_t frames = 0;
        for (std::size_t clip : row.frames)
            frames += (clip == 0 ? alert.size() / row.format.channels : clip) + pause;
        EXPECT_EQ(ReadAll(source).size(), (frames - pause) * row.format.channels);
        EXPECT_EQ(source.Unplayable(), unplayable);
    }
}

// A clip's quiet ends (at or below the level) are cut to kQuietKeptMs, here 20 frames; only the
// two channels played count, read block by block.
TEST(SoundBetweenQuietEnds, KeepsTwentyMillisecondsOfEachQuietEnd) {
    const struct {
        int channels;
        std::vector<std::pair<std::size_t, std::int16_t>> runs;  // frames at a level
        FrameSpan span;
    } rows[] = {
        {1, {{100, 0}}, {0, 0}},
        {1, {{50, 104}, {10, -105}, {60, -104}}, {30, 80}},
        {1, {{30, 3000}}, {0, 30}},
        {1, {{10, 0}, {5, 3000}, {5, 0}}, {0, 20}},
        {1, {{5000, 20}, {1, 200}, {5000, 20}}, {4980, 5021}},
        {2, {{40, 0}, {1, 900}, {40, 0}}, {20, 61}},
        {3, {{40, 0}, {1, 900}, {40, 0}}, {0, 0}},
    };
    for (const auto& row : rows) {
        std::string data;
        std::uint64_t frames = 0;
        for (const auto& [count, level] : row.runs) {
            for (std::size_t i = 0; i < count; ++i, ++frames) {
                for (int channel = 1; channel <= row.channels; ++channel) {
                    data += Le16(static_cast<std::uint16_t>(channel == row.channels ? level : 0));
                }
            }
        }
        const WavFormat format{row.channels, 1000, 16};
        const WavReader read = [&](std::uint64_t offset, void* buffer, std::size_t length) {
            std::memcpy(buffer, data.data() + offset, length);
            return offset + length <= data.size();
        };
        const FrameSpan span = SoundBetweenQuietEnds(format, read, 0, frames);
        EXPECT_EQ(span.first, row.span.first) << frames;
        EXPECT_EQ(span.end, row.span.end) << frames;
    }
}

// Whatever the device's size and pace, the feeder keeps the queue ahead until all is written,
// loses and repeats nothing, and ends once the device is empty; a device that takes nothing is
// given up. The queue is deep enough that the device plays on through a stall of half a second
// and more between two ticks. A timed start writes silence first: the device's delay short of
// the start.
TEST(StreamFeeder, KeepsTheQueueAheadAndEndsWhenHeard) {
    const struct {
        std::size_t room;
        std::size_t perTick;
        std::optional<int> startInMs;
    } rows[] = {{100000, 441, {}},   {100000, 5000, {}}, {100000, 11025, {}},
                {100000, 15435, {}}, {7000, 100, {}},    {0, 100, {}},
                {100000, 441, 300},  {100000, 441, 60},  {100000, 441, -1000}};
    const std::string clip = Wav({{"fmt ", Fmt(1, 1, 22050, 16)}, {"data", Samples(22050 * 2)}});
    for (const auto& row : rows) {
        fakes::RecordingSoundStream stream;
        stream.files["a"] = clip;
        stream.room = row.room;
        StreamFeeder feeder(stream, stream);
        AnnouncementSource source(stream, {"a", "a", "a"}, 100);
        const std::vector<std::int16_t> audio = ReadAll(source);
        int ended = 0;
        std::size_t shortest = audio.size();
        // What the device holds when the tick comes, after its play, while sound is still to come.
        stream.beforeTick = [&](int) {
            if (stream.written.size() < audio.size()) {
                shortest = std::min(shortest, stream.queued - std::min(row.perTick, stream.queued));
            }
        };
        std::optional<StreamFeeder::Instant> startAt;
        if (row.startInMs) {
            startAt = std::chrono::steady_clock::now() + std::chrono::milliseconds(*row.startInMs);
        }
        feeder.Start(
            {"a", "a", "a"}, 100, [&](const std::vector<std::string>&) { ++ended; }, startAt);
        stream.PlayOut(row.perTick);
        EXPECT_EQ(ended, 1);
        EXPECT_FALSE(stream.open);
        if (row.room == 0) continue;
        const std::size_t silence = stream.written.size() - audio.size();
        // Timed after at most one tick of the device's play; a start already passed has none.
        const std::size_t expected = row.startInMs > 0 ? 22050u * *row.startInMs / 1000 : 0;
        EXPECT_LE(silence, expected + row.perTick) << *row.startInMs;
        EXPECT_GE(silence + 22050 * 20 / 1000, expected) << *row.startInMs;
        EXPECT_TRUE(std::equal(audio.begin(), audio.end(),
                               stream.written.begin() + static_cast<std::ptrdiff_t>(silence)));
        EXPECT_EQ(std::count(stream.written.begin(),
                             stream.written.begin() + static_cast<std::ptrdiff_t>(silence), 0),
                  static_cast<std::ptrdiff_t>(silence));
        if (!row.startInMs) {
            EXPECT_GE(shortest + row.perTick,
                      std::min<std::size_t>(row.room, 22050u * kQueueAheadMs / 1000))
                << row.perTick;
            EXPECT_GT(shortest, 0u) << row.perTick;
        }
    }
}

}  // namespace
}  // namespace tolvane::testing
