#pragma once

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

    // `onEnded` runs once the sound has been heard (or at once, without a device), never after
    // Stop. false when it ended at once.
    bool Start(AnnouncementAudio audio, std::function<void()> onEnded);
    // Silences the device at once.
    void Stop();
    bool Playing() const { return m_open; }

private:
    void Tick();
    void End();

    SoundStream& m_stream;
    AnnouncementAudio m_audio;
    std::function<void()> m_onEnded;
    std::size_t m_written = 0;  // frames
    std::size_t m_lastQueued = 0;
    int m_idleTicks = 0;
    bool m_open = false;
};

}  // namespace tolvane
