#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "voice/SoundStream.h"

namespace tolvane {

// The silence between any two clips of an announcement, whatever the clips carry.
inline constexpr int kClipPauseMs = 50;
// The feeder keeps this much queued ahead of the speaker, so a stall of the event loop up to
// it never reaches the sound.
inline constexpr int kQueueAheadMs = 300;
// A device that takes nothing and plays nothing for this many ticks is given up.
inline constexpr int kStalledTicks = 300;
// A sound timed to start at an instant is preceded by this much silence, which starts the
// device, and then by as much as brings its first sample to the speaker on the instant. The
// device's latency is only known once it has begun to play (or, where it does not say so, two
// thirds into the silence): a sound server that mixes in blocks (PulseAudio's pipe sink takes
// 93 ms at a time) reports a guess until then.
inline constexpr int kPrimeMs = 300;
// The silence is shorter where less than kPrimeMs and this much are left once the device is
// open: the first open in a run can take a quarter of a second (Windows loads its sound
// system then), and silence timed only after the moment would start the sound late.
inline constexpr int kPrimeMarginMs = 100;

// One announcement as the device hears it, in one stream format.
struct AnnouncementAudio {
    StreamFormat format;
    std::vector<std::int16_t> samples;    // interleaved
    std::vector<std::size_t> clipFrames;  // where each clip (or its alert) starts, in frames

    std::size_t Frames() const {
        return samples.size() / static_cast<std::size_t>(format.channels);
    }
};

// Joins the clip files, in order, with kClipPauseMs between any two. The stream takes the rate
// and channels (at most two) of the first playable clip; the others are converted to it, each
// scaled to `volumePercent` as AppendPcm16 scales. A file the WAV parser refuses (or none)
// gives the alert in its place at its own level: `alerts[i]` where that is a playable file,
// else our beep.
AnnouncementAudio JoinClips(const std::vector<std::optional<std::string>>& files, int volumePercent,
                            const std::vector<std::optional<std::string>>& alerts = {});

// The stand-in for a clip that cannot be played: a short two-step beep.
void AppendAlert(const StreamFormat& format, std::vector<std::int16_t>& out);

// Plays one announcement through a SoundStream from the event loop: keeps kQueueAheadMs
// queued at every tick, and closes the device once the last sample has been heard.
class StreamFeeder {
public:
    explicit StreamFeeder(SoundStream& stream) : m_stream(stream) {}
    ~StreamFeeder() { Stop(); }
    StreamFeeder(const StreamFeeder&) = delete;
    StreamFeeder& operator=(const StreamFeeder&) = delete;

    using Instant = std::chrono::steady_clock::time_point;

    // `onEnded` runs once the sound has been heard (or at once, without a device), never after
    // Stop. With `startAt` the device opens now and the first sample is heard at that instant
    // (at once when it has passed). false when it ended at once.
    bool Start(AnnouncementAudio audio, std::function<void()> onEnded,
               std::optional<Instant> startAt = std::nullopt);
    // Silences the device at once.
    void Stop();
    bool Playing() const { return m_open; }

private:
    void Tick();
    void TimeTheStart();
    void End();

    SoundStream& m_stream;
    AnnouncementAudio m_audio;
    std::function<void()> m_onEnded;
    std::size_t m_written = 0;  // frames
    std::size_t m_lastQueued = 0;
    std::optional<Instant> m_startAt;  // until the silence before the sound is measured out
    Instant m_openedAt;
    std::size_t m_primeFrames = 0;
    int m_idleTicks = 0;
    bool m_open = false;
};

}  // namespace tolvane
