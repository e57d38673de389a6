#include "win32/Win32SoundStream.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "win32/MessageWindow.h"
#include "win32/TextConversion.h"

namespace tolvane {
namespace {

// A word clip takes a few hundred kilobytes; a longer file plays its first part.
constexpr LONGLONG kMaxClipFileBytes = 16 << 20;
constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTickMs = 10;
// Ten buffers of 50 ms hold the feeder's queue ahead with room to spare.
constexpr int kBufferMs = 50;

WAVEFORMATEX WaveFormat(const StreamFormat& format) {
    WAVEFORMATEX wave{};
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = static_cast<WORD>(format.channels);
    wave.nSamplesPerSec = static_cast<DWORD>(format.sampleRate);
    wave.wBitsPerSample = 16;
    wave.nBlockAlign = static_cast<WORD>(format.channels * 2);
    wave.nAvgBytesPerSec = wave.nSamplesPerSec * wave.nBlockAlign;
    return wave;
}

}  // namespace

Win32SoundStream::Win32SoundStream() {
    m_window = CreateMessageWindow(L"TolvaneSoundStream", &WindowProc, this);
    // A process's first waveOutOpen loads the system's sound stack: a quarter of a second under
    // Wine, longer on a busy machine. Paid now, on a thread of its own, it is not paid at the
    // first announcement's moment, whose device opens only half a second ahead.
    m_loading = CreateThread(nullptr, 0, &LoadSoundSystem, nullptr, 0, nullptr);
}

Win32SoundStream::~Win32SoundStream() {
    Close();
    if (m_loading != nullptr) {
        WaitForSingleObject(m_loading, 5000);
        CloseHandle(m_loading);
    }
    if (m_window != nullptr) DestroyWindow(m_window);
}

DWORD WINAPI Win32SoundStream::LoadSoundSystem(void*) {
    WAVEFORMATEX wave = WaveFormat(StreamFormat{});
    HWAVEOUT out = nullptr;
    if (waveOutOpen(&out, WAVE_MAPPER, &wave, 0, 0, CALLBACK_NULL) == MMSYSERR_NOERROR) {
        waveOutClose(out);
    }
    return 0;
}

std::optional<std::string> Win32SoundStream::ReadClip(const std::string& path) {
    if (path.empty()) return std::nullopt;
    HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::string> bytes;
    LARGE_INTEGER size{};
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size) && size.QuadPart >= 0) {
        std::string buffer(static_cast<std::size_t>(std::min(size.QuadPart, kMaxClipFileBytes)),
                           '\0');
        std::size_t done = 0;
        while (done < buffer.size()) {
            DWORD got = 0;
            if (!ReadFile(file, buffer.data() + done, static_cast<DWORD>(buffer.size() - done),
                          &got, nullptr) ||
                got == 0) {
                break;  // shrank while being read: what was read is the file
            }
            done += got;
        }
        buffer.resize(done);
        bytes = std::move(buffer);
    }
    CloseHandle(file);
    return bytes;
}

std::optional<std::string> Win32SoundStream::ReadAlert() {
    // The file the sound scheme names for the default beep, as PlaySound's "SystemDefault". A
    // REG_EXPAND_SZ value comes back expanded as REG_SZ; asking for it by its own type fails.
    wchar_t value[MAX_PATH] = {};
    DWORD bytes = sizeof value - sizeof value[0];
    if (RegGetValueW(HKEY_CURRENT_USER,
                     L"AppEvents\\Schemes\\Apps\\.Default\\SystemDefault\\.Current", nullptr,
                     RRF_RT_REG_SZ, nullptr, value, &bytes) != ERROR_SUCCESS ||
        value[0] == L'\0') {
        return std::nullopt;
    }
    return ReadClip(WideToUtf8(value));
}

bool Win32SoundStream::Open(const StreamFormat& format, std::function<void()> onTick) {
    Close();
    if (m_window == nullptr) return false;
    WAVEFORMATEX wave = WaveFormat(format);
    if (waveOutOpen(&m_out, WAVE_MAPPER, &wave, reinterpret_cast<DWORD_PTR>(m_window), 0,
                    CALLBACK_WINDOW) != MMSYSERR_NOERROR) {
        m_out = nullptr;
        return false;
    }
    m_format = format;
    m_bufferFrames = static_cast<std::size_t>(format.sampleRate) * kBufferMs / 1000;
    for (Buffer& buffer : m_buffers) {
        buffer.samples.assign(m_bufferFrames * static_cast<std::size_t>(format.channels), 0);
        buffer.queued = false;
    }
    m_next = 0;
    m_written = 0;
    m_onTick = std::move(onTick);
    SetTimer(m_window, kTickTimer, kTickMs, nullptr);
    return true;
}

std::size_t Win32SoundStream::Write(const std::int16_t* samples, std::size_t frames) {
    if (m_out == nullptr || frames == 0) return 0;
    Buffer& buffer = m_buffers[m_next];
    if (buffer.queued) {
        if ((buffer.header.dwFlags & WHDR_DONE) == 0) return 0;
        waveOutUnprepareHeader(m_out, &buffer.header, sizeof buffer.header);
        buffer.queued = false;
    }
    const std::size_t taken = std::min(frames, m_bufferFrames);
    const std::size_t channels = static_cast<std::size_t>(m_format.channels);
    std::memcpy(buffer.samples.data(), samples, taken * channels * sizeof(std::int16_t));
    buffer.header = WAVEHDR{};
    buffer.header.lpData = reinterpret_cast<LPSTR>(buffer.samples.data());
    buffer.header.dwBufferLength = static_cast<DWORD>(taken * channels * sizeof(std::int16_t));
    if (waveOutPrepareHeader(m_out, &buffer.header, sizeof buffer.header) != MMSYSERR_NOERROR) {
        return 0;
    }
    if (waveOutWrite(m_out, &buffer.header, sizeof buffer.header) != MMSYSERR_NOERROR) {
        waveOutUnprepareHeader(m_out, &buffer.header, sizeof buffer.header);
        return 0;
    }
    buffer.queued = true;
    m_next = (m_next + 1) % kBuffers;
    m_written += taken;
    return taken;
}

std::size_t Win32SoundStream::QueuedFrames() {
    if (m_out == nullptr) return 0;
    std::size_t pending = 0;
    for (const Buffer& buffer : m_buffers) {
        if (buffer.queued && (buffer.header.dwFlags & WHDR_DONE) == 0) {
            pending +=
                buffer.header.dwBufferLength / (static_cast<std::size_t>(m_format.channels) * 2);
        }
    }
    // Every buffer handed back is how the device says it has played everything; before that
    // the position tells how much of the pending ones has been heard.
    if (pending == 0) return 0;
    MMTIME position{};
    position.wType = TIME_SAMPLES;
    if (waveOutGetPosition(m_out, &position, sizeof position) == MMSYSERR_NOERROR &&
        position.wType == TIME_SAMPLES && position.u.sample <= m_written) {
        return std::max<std::size_t>(1, static_cast<std::size_t>(m_written - position.u.sample));
    }
    return pending;
}

void Win32SoundStream::Close() {
    if (m_out == nullptr) return;
    KillTimer(m_window, kTickTimer);
    waveOutReset(m_out);
    for (Buffer& buffer : m_buffers) {
        if (buffer.queued) waveOutUnprepareHeader(m_out, &buffer.header, sizeof buffer.header);
        buffer.queued = false;
    }
    waveOutClose(m_out);
    m_out = nullptr;
    m_onTick = nullptr;
}

void Win32SoundStream::Tick() {
    if (m_out != nullptr && m_onTick) {
        // Close from inside the tick must not destroy the function running.
        const std::function<void()> tick = m_onTick;
        tick();
    }
}

LRESULT CALLBACK Win32SoundStream::WindowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    auto* self = reinterpret_cast<Win32SoundStream*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr &&
        (message == MM_WOM_DONE || (message == WM_TIMER && wParam == kTickTimer))) {
        self->Tick();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tolvane
