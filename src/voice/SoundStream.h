#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tolvane {

// Interleaved 16-bit signed PCM of one or two channels.
struct StreamFormat {
    int channels = 1;
    int sampleRate = 22050;

    bool operator==(const StreamFormat&) const = default;
};

// The sound device of one announcement, fed from the event loop: nothing here waits for the
// device. Never throws.
class SoundStream {
public:
    virtual ~SoundStream() = default;
    // The bytes of a clip file (a longer file gives its first part); nullopt when there is no
    // regular file to read, as for the empty path.
    virtual std::optional<std::string> ReadClip(const std::string& path) = 0;
    // The bytes of the system's alert sound, read again each time it stands in for a clip;
    // nullopt where the system has none, and then a beep of our own stands in.
    virtual std::optional<std::string> ReadAlert() { return std::nullopt; }
    // Opens the device. While it is open, `onTick` runs from the event loop at least every
    // 20 ms (and may run sooner when the device has room); Close may be called from inside it.
    // false when there is no device.
    virtual bool Open(const StreamFormat& format, std::function<void()> onTick) = 0;
    // Queues up to `frames` frames without waiting and returns how many were taken.
    virtual std::size_t Write(const std::int16_t* samples, std::size_t frames) = 0;
    // Frames written that have not been heard yet.
    virtual std::size_t QueuedFrames() = 0;
    // Frames until a frame written now is heard, the latency beyond our queue included where
    // the device tells it; asked once an announcement, to start it on its moment.
    virtual std::size_t DelayFrames() { return QueuedFrames(); }
    // Stops at once, dropping what is queued; no tick runs after it.
    virtual void Close() = 0;
};

}  // namespace tolvane
