#include "win32/Win32SoundStream.h"

#include <initguid.h>
#include <mmdeviceapi.h>

#include <algorithm>
#include <cstring>

#include "voice/AnnouncementAudio.h"
#include "win32/TextConversion.h"

namespace tolvane {
namespace {

// The stream's buffer, longer than the feeder's queue ahead; REFERENCE_TIME is in 100 ns.
constexpr REFERENCE_TIME kBufferDuration = 20'000'000;
// Under Wine the audio engine runs inside the program: its shared mode keeps only a few
// milliseconds in the sound server (the rest stands still with the program), while its
// exclusive mode on ALSA keeps four periods there and shares the device as before.
constexpr REFERENCE_TIME kWinePeriod = kBufferDuration / 8;
// Accepted by the shared mode's engine in any format, converted to its own.
constexpr DWORD kAutoConvert =
    0x80000000 /* AUTOCONVERTPCM */ | 0x08000000 /* SRC_DEFAULT_QUALITY */;

template <typename T>
void Release(T*& object) {
    if (object != nullptr) object->Release();
    object = nullptr;
}

bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// The default render device's client, the feeder's thread joined to COM first.
IAudioClient* ActivateClient() {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    IMMDeviceEnumerator* devices = nullptr;
    IMMDevice* device = nullptr;
    IAudioClient* client = nullptr;
    if (SUCCEEDED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                   __uuidof(IMMDeviceEnumerator),
                                   reinterpret_cast<void**>(&devices))) &&
        SUCCEEDED(devices->GetDefaultAudioEndpoint(eRender, eConsole, &device))) {
        device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr,
                         reinterpret_cast<void**>(&client));
    }
    Release(device);
    Release(devices);
    return client;
}

class Win32ClipFile final : public ClipFile {
public:
    Win32ClipFile(HANDLE file, std::uint64_t size) : m_file(file), m_size(size) {}
    ~Win32ClipFile() override { CloseHandle(m_file); }
    std::uint64_t Size() override { return m_size; }
    bool Read(std::uint64_t offset, void* buffer, std::size_t length) override {
        auto* out = static_cast<char*>(buffer);
        while (length > 0) {
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(offset);
            at.OffsetHigh = static_cast<DWORD>(offset >> 32);
            DWORD got = 0;
            const auto want = static_cast<DWORD>(std::min<std::size_t>(length, 1 << 20));
            if (!ReadFile(m_file, out, want, &got, &at) || got == 0) return false;
            out += got;
            offset += got;
            length -= got;
        }
        return true;
    }

private:
    HANDLE m_file;
    std::uint64_t m_size;
};

}  // namespace

void Win32SoundStream::Prepare() {
    // A process's first stream loads the system's audio stack: a quarter of a second under
    // Wine, longer on a busy machine.
    IAudioClient* client = ActivateClient();
    Release(client);
}

std::unique_ptr<ClipFile> Win32SoundStream::OpenClip(const std::string& path) {
    if (path.empty()) return nullptr;
    HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size) || size.QuadPart < 0) {
        CloseHandle(file);
        return nullptr;
    }
    return std::make_unique<Win32ClipFile>(file, static_cast<std::uint64_t>(size.QuadPart));
}

std::unique_ptr<ClipFile> Win32SoundStream::OpenAlert() {
    // The file the sound scheme names for the default beep, as PlaySound's "SystemDefault". A
    // REG_EXPAND_SZ value comes back expanded as REG_SZ; asking for it by its own type fails.
    wchar_t value[MAX_PATH] = {};
    DWORD bytes = sizeof value - sizeof value[0];
    if (RegGetValueW(HKEY_CURRENT_USER,
                     L"AppEvents\\Schemes\\Apps\\.Default\\SystemDefault\\.Current", nullptr,
                     RRF_RT_REG_SZ, nullptr, value, &bytes) != ERROR_SUCCESS ||
        value[0] == L'\0') {
        return nullptr;
    }
    return OpenClip(WideToUtf8(value));
}

bool Win32SoundStream::Open(const StreamFormat& format) {
    Close();
    m_client = ActivateClient();
    if (m_client == nullptr) return false;
    WAVEFORMATEX wave{};
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = static_cast<WORD>(format.channels);
    wave.nSamplesPerSec = static_cast<DWORD>(format.sampleRate);
    wave.wBitsPerSample = 16;
    wave.nBlockAlign = static_cast<WORD>(format.channels * 2);
    wave.nAvgBytesPerSec = wave.nSamplesPerSec * wave.nBlockAlign;
    bool ready = UnderWine() &&
                 SUCCEEDED(m_client->Initialize(AUDCLNT_SHAREMODE_EXCLUSIVE, 0, kBufferDuration,
                                                kWinePeriod, &wave, nullptr));
    m_exclusive = ready;
    if (!ready) {
        // A client whose Initialize failed takes no second one.
        Release(m_client);
        m_client = ActivateClient();
        ready = m_client != nullptr &&
                SUCCEEDED(m_client->Initialize(AUDCLNT_SHAREMODE_SHARED, kAutoConvert,
                                               kBufferDuration, 0, &wave, nullptr));
    }
    if (!ready || FAILED(m_client->GetBufferSize(&m_bufferFrames)) ||
        FAILED(m_client->GetService(__uuidof(IAudioRenderClient),
                                    reinterpret_cast<void**>(&m_render))) ||
        FAILED(m_client->GetService(__uuidof(IAudioClock), reinterpret_cast<void**>(&m_clock)))) {
        Close();
        return false;
    }
    m_format = format;
    m_started = false;
    m_written = 0;
    m_drainedAt.reset();
    return true;
}

std::size_t Win32SoundStream::Write(const std::int16_t* samples, std::size_t frames) {
    UINT32 padding = 0;
    if (m_render == nullptr || FAILED(m_client->GetCurrentPadding(&padding))) return 0;
    const auto taken = static_cast<UINT32>(std::min<std::size_t>(frames, m_bufferFrames - padding));
    BYTE* buffer = nullptr;
    if (taken == 0 || FAILED(m_render->GetBuffer(taken, &buffer))) return 0;
    std::memcpy(buffer, samples, taken * static_cast<std::size_t>(m_format.channels) * 2);
    m_render->ReleaseBuffer(taken, 0);
    m_written += taken;
    // Started once it holds something, so that it never begins by running dry.
    if (!m_started) m_started = SUCCEEDED(m_client->Start());
    return taken;
}

std::size_t Win32SoundStream::QueuedFrames() {
    UINT32 padding = 0;
    if (m_client == nullptr || FAILED(m_client->GetCurrentPadding(&padding))) return 0;
    // The buffer empties while the device still plays what it took from it: the clock tells
    // how much has left for the device, and the device's latency how long it takes to be heard
    // (half a second with Wine's exclusive mode, whose clock counts what went to ALSA).
    UINT64 frequency = 0;
    UINT64 position = 0;
    std::size_t unheard = padding;
    if (SUCCEEDED(m_clock->GetFrequency(&frequency)) && frequency > 0 &&
        SUCCEEDED(m_clock->GetPosition(&position, nullptr))) {
        const UINT64 left = position * static_cast<UINT64>(m_format.sampleRate) / frequency;
        if (left < m_written) unheard = std::max<std::size_t>(unheard, m_written - left);
    }
    if (unheard > 0) {
        m_drainedAt.reset();
        return unheard;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!m_drainedAt) m_drainedAt = now;
    const long long played =
        std::chrono::duration_cast<std::chrono::microseconds>(now - *m_drainedAt).count() *
        m_format.sampleRate / 1'000'000;
    return static_cast<std::size_t>(
        std::max(0LL, static_cast<long long>(LatencyFrames()) - played));
}

std::size_t Win32SoundStream::LatencyFrames() {
    REFERENCE_TIME latency = 0;
    if (m_client == nullptr || FAILED(m_client->GetStreamLatency(&latency)) || latency < 0) {
        return 0;
    }
    return static_cast<std::size_t>(latency * m_format.sampleRate / 10'000'000);
}

std::size_t Win32SoundStream::DelayFrames() {
    UINT32 padding = 0;
    if (m_client == nullptr || FAILED(m_client->GetCurrentPadding(&padding))) return 0;
    // Wine's exclusive mode reports the most its ALSA buffer may hold (half a second), not
    // what it holds: the feeder's own floor, the time since the device opened, tells better.
    return padding + (m_exclusive ? 0 : LatencyFrames());
}

void Win32SoundStream::Close() {
    if (m_client != nullptr && m_started) {
        m_client->Stop();
        // Drops what the device holds, at once.
        m_client->Reset();
    }
    Release(m_clock);
    Release(m_render);
    Release(m_client);
    m_started = false;
}

}  // namespace tolvane
