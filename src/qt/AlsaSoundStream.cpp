#include "qt/AlsaSoundStream.h"

#include <alsa/asoundlib.h>

#include <sys/stat.h>

#include <cerrno>
#include <utility>

#include "qt/PosixFile.h"
#include "voice/AnnouncementAudio.h"

namespace tolvane {
namespace {

// Room for the feeder's queue ahead with some to spare. Through PulseAudio's plugin this is the
// length the server keeps queued, which plays on while the program is stopped.
constexpr unsigned kBufferUs = kQueueAheadMs * 1500;

class PosixClipFile final : public ClipFile {
public:
    PosixClipFile(FileDescriptor fd, std::uint64_t size) : m_fd(std::move(fd)), m_size(size) {}
    std::uint64_t Size() override { return m_size; }
    bool Read(std::uint64_t offset, void* buffer, std::size_t length) override {
        return ReadAt(m_fd.Get(), offset, buffer, length);
    }

private:
    FileDescriptor m_fd;
    std::uint64_t m_size;
};

}  // namespace

void QuietAlsaError(const char*, int, const char*, int, const char*, ...) {}

AlsaSoundStream::AlsaSoundStream(std::string device) : m_device(std::move(device)) {
    // The library's own messages ("Unknown PCM default") would be our only output.
    snd_lib_error_set_handler(&QuietAlsaError);
}

void AlsaSoundStream::Prepare() {
    // The first open parses the configuration and loads its plugins (libpulse, say), which
    // costs milliseconds: paid ahead rather than on the hour.
    snd_pcm_t* warmUp = nullptr;
    if (snd_pcm_open(&warmUp, m_device.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) == 0) {
        snd_pcm_close(warmUp);
    }
}

std::unique_ptr<ClipFile> AlsaSoundStream::OpenClip(const std::string& path) {
    if (path.empty()) return nullptr;
    FileDescriptor fd = OpenForReading(path);
    struct stat st {};
    if (!fd.IsOpen() || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
    return std::make_unique<PosixClipFile>(std::move(fd), static_cast<std::uint64_t>(st.st_size));
}

bool AlsaSoundStream::Open(const StreamFormat& format) {
    Close();
    if (snd_pcm_open(&m_pcm, m_device.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
        m_pcm = nullptr;
        return false;
    }
    snd_pcm_sw_params_t* sw = nullptr;
    snd_pcm_sw_params_alloca(&sw);
    // The plug layer of "default" converts where the hardware takes another format. It starts
    // at the first sample written rather than when its buffer is full, so a short announcement
    // plays too.
    if (snd_pcm_set_params(m_pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED,
                           static_cast<unsigned>(format.channels),
                           static_cast<unsigned>(format.sampleRate), 1, kBufferUs) < 0 ||
        snd_pcm_sw_params_current(m_pcm, sw) < 0 ||
        snd_pcm_sw_params_set_start_threshold(m_pcm, sw, 1) < 0 ||
        snd_pcm_sw_params(m_pcm, sw) < 0) {
        snd_pcm_close(m_pcm);
        m_pcm = nullptr;
        return false;
    }
    snd_pcm_uframes_t period = 0;
    if (snd_pcm_get_params(m_pcm, &m_bufferFrames, &period) < 0) m_bufferFrames = 0;
    return true;
}

std::size_t AlsaSoundStream::Write(const std::int16_t* samples, std::size_t frames) {
    if (m_pcm == nullptr) return 0;
    const snd_pcm_sframes_t written =
        snd_pcm_writei(m_pcm, samples, static_cast<snd_pcm_uframes_t>(frames));
    if (written >= 0) return static_cast<std::size_t>(written);
    if (written != -EAGAIN) snd_pcm_recover(m_pcm, static_cast<int>(written), 1);
    return 0;
}

std::size_t AlsaSoundStream::QueuedFrames() {
    if (m_pcm == nullptr) return 0;
    // Running dry is how the device says it has played everything.
    const snd_pcm_state_t state = snd_pcm_state(m_pcm);
    if (state != SND_PCM_STATE_RUNNING && state != SND_PCM_STATE_PREPARED) return 0;
    // Not snd_pcm_delay: through PulseAudio it waits on the server's timing reply, at every tick.
    const snd_pcm_sframes_t room = snd_pcm_avail_update(m_pcm);
    if (room < 0 || static_cast<snd_pcm_uframes_t>(room) >= m_bufferFrames) return 0;
    return static_cast<std::size_t>(m_bufferFrames - static_cast<snd_pcm_uframes_t>(room));
}

std::size_t AlsaSoundStream::DelayFrames() {
    // Asked once, before the sound starts: the wait on the sound server's timing reply is paid
    // while the device plays silence.
    snd_pcm_sframes_t delay = 0;
    if (m_pcm == nullptr || snd_pcm_delay(m_pcm, &delay) < 0 || delay < 0) return QueuedFrames();
    return static_cast<std::size_t>(delay);
}

void AlsaSoundStream::Close() {
    if (m_pcm == nullptr) return;
    snd_pcm_drop(m_pcm);
    snd_pcm_close(m_pcm);
    m_pcm = nullptr;
}

}  // namespace tolvane
