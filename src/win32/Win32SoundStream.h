#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <array>
#include <vector>

#include "voice/SoundStream.h"

namespace tolvane {

// One waveOut device per announcement with a ring of queued buffers. Its message-only window
// gets each finished buffer (CALLBACK_WINDOW) and a 10 ms timer, and ticks the feeder from the
// program's message loop, which never waits for the device.
class Win32SoundStream final : public SoundStream {
public:
    Win32SoundStream();
    ~Win32SoundStream() override;
    Win32SoundStream(const Win32SoundStream&) = delete;
    Win32SoundStream& operator=(const Win32SoundStream&) = delete;

    std::optional<std::string> ReadClip(const std::string& path) override;
    std::optional<std::string> ReadAlert() override;
    bool Open(const StreamFormat& format, std::function<void()> onTick) override;
    std::size_t Write(const std::int16_t* samples, std::size_t frames) override;
    std::size_t QueuedFrames() override;
    void Close() override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static DWORD WINAPI LoadSoundSystem(void*);
    void Tick();

    static constexpr std::size_t kBuffers = 10;
    struct Buffer {
        WAVEHDR header{};
        std::vector<std::int16_t> samples;
        bool queued = false;
    };

    HWND m_window = nullptr;
    HANDLE m_loading = nullptr;
    HWAVEOUT m_out = nullptr;
    StreamFormat m_format;
    std::array<Buffer, kBuffers> m_buffers;
    std::size_t m_next = 0;
    std::size_t m_bufferFrames = 0;
    std::uint64_t m_written = 0;  // frames
    std::function<void()> m_onTick;
};

}  // namespace tolvane
