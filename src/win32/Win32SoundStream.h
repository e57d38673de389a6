#pragma once

#include <windows.h>

#include <audioclient.h>

#include <chrono>
#include <optional>

#include "voice/SoundStream.h"

namespace tolvane {

// One WASAPI render stream per announcement on the default device, in shared mode with a buffer
// of two seconds that the system's audio engine reads on its own, so that it plays on while
// the program stands still. Used from the feeder's thread, which it joins to the
// multithreaded COM apartment.
class Win32SoundStream final : public SoundStream {
public:
    Win32SoundStream() = default;
    ~Win32SoundStream() override { Close(); }
    Win32SoundStream(const Win32SoundStream&) = delete;
    Win32SoundStream& operator=(const Win32SoundStream&) = delete;

    void Prepare() override;
    std::unique_ptr<ClipFile> OpenClip(const std::string& path) override;
    std::unique_ptr<ClipFile> OpenAlert() override;
    bool Open(const StreamFormat& format) override;
    std::size_t Write(const std::int16_t* samples, std::size_t frames) override;
    std::size_t QueuedFrames() override;
    std::size_t DelayFrames() override;
    void Close() override;

private:
    std::size_t LatencyFrames();

    IAudioClient* m_client = nullptr;
    IAudioRenderClient* m_render = nullptr;
    IAudioClock* m_clock = nullptr;
    StreamFormat m_format;
    UINT32 m_bufferFrames = 0;
    UINT64 m_written = 0;  // frames
    // When the clock reached the last frame written: the device's latency later it is heard.
    std::optional<std::chrono::steady_clock::time_point> m_drainedAt;
    bool m_started = false;
    bool m_exclusive = false;
};

}  // namespace tolvane
