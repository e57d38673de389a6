#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "voice/SoundStream.h"
#include "voice/WavFile.h"

namespace tolvane {

// The silence between any two clips of an announcement, whatever the clips carry.
inline constexpr int kClipPauseMs = 50;
// The feeder keeps this much queued in the device (or the sound server behind it), which plays
// on through a stall of the whole program shorter than that: a loaded desktop, a swap-in.
inline constexpr int kQueueAheadMs = 1000;
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
// A clip's own quiet ends, below this level (-50 dBFS), are cut to kQuietKeptMs: hand-made
// clips carry hundreds of milliseconds of it, which would stretch the designed pause. Our packs
// keep at most that much (their check allows it), so they play as they are.
inline constexpr int kQuietLevel = 104;
inline constexpr int kQuietKeptMs = 20;
// No word or phrase lasts this long: a longer clip plays as the alert, so that no file keeps
// the clock busy for hours.
inline constexpr int kMaxClipSeconds = 20;

// The stand-in for a clip that cannot be played: a short two-step beep.
void AppendAlert(const StreamFormat& format, std::vector<std::int16_t>& out);

// The frames of `format` from `first` to `end` (whole frames of the data) that lie between a
// clip's quiet ends, kQuietKeptMs of them kept; empty when it is quiet throughout.
struct FrameSpan {
    std::uint64_t first = 0;
    std::uint64_t end = 0;
};
FrameSpan SoundBetweenQuietEnds(const WavFormat& format, const WavReader& read,
                                std::uint64_t dataOffset, std::uint64_t frames);

// One announcement in one stream format, read from its clip files as the device takes it:
// each clip's sound between its quiet ends, converted to the stream's rate and channels and
// scaled to the volume, with kClipPauseMs between any two; the alert in place of a clip that
// cannot be played, at its own level. Holds a block of one file at a time, so memory stays
// small whatever the clips hold.
class AnnouncementSource {
public:
    AnnouncementSource(SoundStream& files, std::vector<std::string> paths, int volumePercent);
    ~AnnouncementSource();
    AnnouncementSource(const AnnouncementSource&) = delete;
    AnnouncementSource& operator=(const AnnouncementSource&) = delete;

    // The rate and channels (at most two) of the first playable clip, reading up to it; mono
    // at 22 050 Hz when none is.
    StreamFormat Format();
    // Writes up to `frames` interleaved frames into `out`; fewer only at the end.
    std::size_t Read(std::int16_t* out, std::size_t frames);
    // The clips read so far that could not be played.
    const std::vector<std::string>& Unplayable() const { return m_unplayable; }

private:
    struct Part;
    Part* Current();
    std::unique_ptr<Part> Load(std::size_t clip);

    SoundStream& m_files;
    std::vector<std::string> m_paths;
    int m_volume;
    std::optional<StreamFormat> m_format;
    // Clips opened ahead (up to the first playable one) and the part playing.
    std::vector<std::unique_ptr<Part>> m_parts;
    std::size_t m_nextClip = 0;
    std::uint64_t m_pause = 0;  // frames of the pause still to come before the next part
    std::vector<std::string> m_unplayable;
};

// Plays one announcement at a time on a SoundThread: keeps kQueueAheadMs queued in the device,
// and closes it once the last sample has been heard. Called on the user-interface thread.
class StreamFeeder {
public:
    StreamFeeder(SoundStream& stream, SoundThread& thread) : m_stream(stream), m_thread(thread) {}
    ~StreamFeeder() { Stop(); }
    StreamFeeder(const StreamFeeder&) = delete;
    StreamFeeder& operator=(const StreamFeeder&) = delete;

    using Instant = std::chrono::steady_clock::time_point;
    // Runs with the clips that could not be played (an alert stood in for each).
    using Ended = std::function<void(const std::vector<std::string>& unplayable)>;

    // Plays the clips at `paths`; `onEnded` runs on the user-interface thread once the sound has
    // been heard (or, without a device, at once), never after Stop. With `startAt` the device
    // opens now and the first sample is heard at that instant (at once when it has passed).
    void Start(std::vector<std::string> paths, int volumePercent, Ended onEnded,
               std::optional<Instant> startAt = std::nullopt);
    // Silences the device at once.
    void Stop();
    // Silences the device and goes on without waiting for it to close.
    void StopForExit();
    // Loads the sound system on the feeder's thread, unless an announcement already has.
    void Prepare();

private:
    class Playback;
    void Report(unsigned run, std::vector<std::string> unplayable);

    SoundStream& m_stream;
    SoundThread& m_thread;
    unsigned m_run = 0;
    Ended m_onEnded;
    std::shared_ptr<int> m_alive = std::make_shared<int>();
};

}  // namespace tolvane
