#include "qt/AlsaClipPlayer.h"

#include <alsa/asoundlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <thread>
#include <utility>
#include <vector>

#include "qt/PosixFile.h"
#include "voice/WavFile.h"

namespace tolvane {
namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr unsigned kLatencyUs = 100000;
constexpr std::size_t kBlockBytes = 16384;
// Beyond the clip's own length, how long a stalled device may hold the program.
constexpr auto kDeviceGrace = std::chrono::seconds(3);

// A playback device taking interleaved 16-bit samples, which every ALSA device does (through
// the plug layer of "default" where the hardware does not).
class Pcm {
public:
    Pcm(const std::string& device, const WavFormat& format) : m_format(format) {
        if (snd_pcm_open(&m_pcm, device.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
            m_pcm = nullptr;
            return;
        }
        if (snd_pcm_set_params(m_pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED,
                               static_cast<unsigned>(format.channels),
                               static_cast<unsigned>(format.sampleRate), 1, kLatencyUs) < 0) {
            Close();
        }
    }
    ~Pcm() { Close(); }
    Pcm(const Pcm&) = delete;
    Pcm& operator=(const Pcm&) = delete;

    bool IsOpen() const { return m_pcm != nullptr; }

    // Writes whole frames; false when the device stalls past the deadline or fails for good.
    bool Write(const unsigned char* data, std::size_t bytes, SteadyClock::time_point deadline) {
        const std::size_t frameBytes = static_cast<std::size_t>(m_format.BytesPerFrame());
        snd_pcm_uframes_t frames = bytes / frameBytes;
        while (frames > 0) {
            snd_pcm_sframes_t written = snd_pcm_writei(m_pcm, data, frames);
            if (written == -EAGAIN) {
                if (SteadyClock::now() > deadline) return false;
                snd_pcm_wait(m_pcm, 100);
                continue;
            }
            if (written < 0) {
                if (snd_pcm_recover(m_pcm, static_cast<int>(written), 1) < 0) return false;
                continue;
            }
            data += static_cast<std::size_t>(written) * frameBytes;
            frames -= static_cast<snd_pcm_uframes_t>(written);
        }
        return true;
    }

    // Waits until everything written has been played, or the deadline passes.
    void Drain(SteadyClock::time_point deadline) {
        if (snd_pcm_drain(m_pcm) != -EAGAIN) return;
        while (snd_pcm_state(m_pcm) == SND_PCM_STATE_DRAINING && SteadyClock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

private:
    void Close() {
        if (m_pcm != nullptr) snd_pcm_close(m_pcm);
        m_pcm = nullptr;
    }

    snd_pcm_t* m_pcm = nullptr;
    WavFormat m_format;
};

SteadyClock::time_point DeadlineFor(const WavFormat& format, std::uint64_t bytes) {
    const double seconds = static_cast<double>(bytes) /
                           (static_cast<double>(format.BytesPerFrame()) * format.sampleRate);
    return SteadyClock::now() +
           std::chrono::duration_cast<SteadyClock::duration>(
               std::chrono::duration<double>(seconds)) +
           kDeviceGrace;
}

// The stand-in for a missing clip: a short two-step beep.
const std::vector<unsigned char>& AlertTone(WavFormat& format) {
    format = WavFormat{1, 22050, 16};
    static const std::vector<unsigned char> samples = [] {
        constexpr int kRate = 22050;
        constexpr int kFrames = kRate * 18 / 100;
        constexpr double kPi = 3.14159265358979323846;
        std::vector<unsigned char> bytes;
        bytes.reserve(kFrames * 2);
        for (int i = 0; i < kFrames; ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double pitch = i < kFrames / 2 ? 988.0 : 784.0;
            const double envelope = std::min({1.0, i / 200.0, (kFrames - i) / 200.0});
            const auto sample = static_cast<std::int16_t>(
                std::lround(9000.0 * envelope * std::sin(2 * kPi * pitch * t)));
            bytes.push_back(static_cast<unsigned char>(sample & 0xFF));
            bytes.push_back(static_cast<unsigned char>((sample >> 8) & 0xFF));
        }
        return bytes;
    }();
    return samples;
}

class ClipFile {
public:
    explicit ClipFile(const std::string& path) : m_fd(OpenForReading(path)) {}

    std::optional<WavLayout> Layout() {
        struct stat st {};
        if (!m_fd.IsOpen() || ::fstat(m_fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
            return std::nullopt;
        }
        return ParseWav([this](std::uint64_t offset, void* buffer,
                               std::size_t length) { return ReadAt(offset, buffer, length); },
                        static_cast<std::uint64_t>(st.st_size));
    }

    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t length) {
        return tolvane::ReadAt(m_fd.Get(), offset, buffer, length);
    }

private:
    FileDescriptor m_fd;
};

}  // namespace

void QuietAlsaError(const char*, int, const char*, int, const char*, ...) {}

AlsaClipPlayer::AlsaClipPlayer(std::string device) : m_device(std::move(device)) {
    // The library's own messages ("Unknown PCM default") would be our only output.
    snd_lib_error_set_handler(&QuietAlsaError);
    // The first open parses the configuration and loads its plugins (libpulse, say), which
    // costs milliseconds: pay it at start-up rather than between two clips on the hour.
    snd_pcm_t* warmUp = nullptr;
    if (snd_pcm_open(&warmUp, m_device.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) == 0) {
        snd_pcm_close(warmUp);
    }
}

void AlsaClipPlayer::PlaySync(const std::string& path, int volumePercent) {
    ClipFile file(path);
    std::optional<WavLayout> layout = file.Layout();
    if (!layout) {
        WavFormat format;
        const std::vector<unsigned char>& tone = AlertTone(format);
        Pcm pcm(m_device, format);
        if (!pcm.IsOpen()) return;
        const auto deadline = DeadlineFor(format, tone.size());
        if (pcm.Write(tone.data(), tone.size(), deadline)) pcm.Drain(deadline);
        return;
    }
    // Whatever the clip's own format, the device gets 16-bit samples of at most two channels.
    const WavFormat& in = layout->format;
    const WavFormat out{Pcm16Channels(in), in.sampleRate, 16};
    Pcm pcm(m_device, out);
    if (!pcm.IsOpen()) return;
    const std::size_t inFrameBytes = static_cast<std::size_t>(in.BytesPerFrame());
    const auto deadline = DeadlineFor(out, layout->dataBytes / inFrameBytes * out.BytesPerFrame());
    std::vector<unsigned char> block(kBlockBytes);
    std::string samples;
    std::uint64_t offset = layout->dataOffset;
    std::uint64_t remaining = layout->dataBytes;
    while (remaining > 0) {
        std::size_t length =
            static_cast<std::size_t>(std::min<std::uint64_t>(remaining, block.size()));
        length -= length % inFrameBytes;
        // A file that shrinks under us ends the clip early.
        if (length == 0 || !file.ReadAt(offset, block.data(), length)) break;
        samples.clear();
        AppendPcm16(in, block.data(), length / inFrameBytes, samples, volumePercent);
        if (!pcm.Write(reinterpret_cast<const unsigned char*>(samples.data()), samples.size(),
                       deadline)) {
            return;
        }
        offset += length;
        remaining -= length;
    }
    pcm.Drain(deadline);
}

}  // namespace tolvane
