#pragma once

#include <string>

#include "voice/SoundStream.h"

typedef struct _snd_pcm snd_pcm_t;

namespace tolvane {

// One non-blocking ALSA PCM per announcement on the "default" device, and the clip files read
// with pread.
class AlsaSoundStream final : public SoundStream {
public:
    explicit AlsaSoundStream(std::string device = "default");
    ~AlsaSoundStream() override { Close(); }
    AlsaSoundStream(const AlsaSoundStream&) = delete;
    AlsaSoundStream& operator=(const AlsaSoundStream&) = delete;

    void Prepare() override;
    std::unique_ptr<ClipFile> OpenClip(const std::string& path) override;
    bool Open(const StreamFormat& format) override;
    std::size_t Write(const std::int16_t* samples, std::size_t frames) override;
    std::size_t QueuedFrames() override;
    std::size_t DelayFrames() override;
    void Close() override;

private:
    std::string m_device;
    snd_pcm_t* m_pcm = nullptr;
    unsigned long m_bufferFrames = 0;
};

}  // namespace tolvane
