#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tolvane {

// Interleaved 16-bit signed PCM of one or two channels.
struct StreamFormat {
    int channels = 1;
    int sampleRate = 22050;

    bool operator==(const StreamFormat&) const = default;
};

// A clip file open for reading, read a part at a time as it plays. Never throws.
class ClipFile {
public:
    virtual ~ClipFile() = default;
    virtual std::uint64_t Size() = 0;
    // Exactly `length` bytes from `offset`; false when they are not there (the file shrank).
    virtual bool Read(std::uint64_t offset, void* buffer, std::size_t length) = 0;
};

// The sound device of one announcement and the files it plays. Every call but Prepare comes
// from the feeder's thread while an announcement plays; nothing here waits for the device.
// Never throws.
class SoundStream {
public:
    virtual ~SoundStream() = default;
    // Loads what the first device open needs (the sound system, its plugins), so that the first
    // announcement opens as quickly as later ones. Called once, off the user-interface thread.
    virtual void Prepare() {}
    // A clip file; null when there is no regular file to read, as for the empty path.
    virtual std::unique_ptr<ClipFile> OpenClip(const std::string& path) = 0;
    // The system's alert sound, opened again each time it stands in for a clip; null where the
    // system has none, and then a beep of our own stands in.
    virtual std::unique_ptr<ClipFile> OpenAlert() { return nullptr; }
    // Opens the device; false when there is none.
    virtual bool Open(const StreamFormat& format) = 0;
    // Queues up to `frames` frames without waiting and returns how many were taken.
    virtual std::size_t Write(const std::int16_t* samples, std::size_t frames) = 0;
    // Frames written that have not been heard yet.
    virtual std::size_t QueuedFrames() = 0;
    // Frames until a frame written now is heard, the latency beyond our queue included where
    // the device tells it; asked once an announcement, to start it on its moment.
    virtual std::size_t DelayFrames() { return QueuedFrames(); }
    // Stops at once, dropping what is queued.
    virtual void Close() = 0;
};

// Where an announcement is fed from: a thread of its own (FeederThread), so that nothing the
// user-interface thread does reaches the speaker.
class SoundThread {
public:
    virtual ~SoundThread() = default;
    // Calls `tick(false)` at once and then every few milliseconds, off the user-interface
    // thread, until it returns false; false when it could not start. The previous run ends
    // (as by Stop) first.
    virtual bool Start(std::function<bool(bool stop)> tick) = 0;
    // Ends the run: a tick still to come is `tick(true)`, the last; returns once no tick runs.
    virtual void Stop() = 0;
    // Ends the run as Stop does, without waiting for a tick still running: at exit, where a
    // device may take a quarter of a second to close (Wine's), and the windows need not wait.
    // The thread's owner waits for it as the thread goes.
    virtual void Leave() { Stop(); }
    // Runs `task` on the user-interface thread, after the calling tick has returned.
    virtual void Post(std::function<void()> task) = 0;
};

}  // namespace tolvane
