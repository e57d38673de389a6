#pragma once

#include <functional>
#include <string>

#include "voice/SoundStream.h"

typedef struct _snd_pcm snd_pcm_t;

namespace tolvane {

// One non-blocking ALSA PCM per announcement on the "default" device. The event loop drives
// it: `runTicks(true)` asks the shell to call Tick() every few milliseconds until
// `runTicks(false)`.
class AlsaSoundStream final : public SoundStream {
public:
    explicit AlsaSoundStream(std::string device = "default",
                             std::function<void(bool run)> runTicks = nullptr);
    ~AlsaSoundStream() override { Close(); }
    AlsaSoundStream(const AlsaSoundStream&) = delete;
    AlsaSoundStream& operator=(const AlsaSoundStream&) = delete;

    void SetTicker(std::function<void(bool run)> runTicks) { m_runTicks = std::move(runTicks); }
    void Tick();

    std::optional<std::string> ReadClip(const std::string& path) override;
    bool Open(const StreamFormat& format, std::function<void()> onTick) override;
    std::size_t Write(const std::int16_t* samples, std::size_t frames) override;
    std::size_t QueuedFrames() override;
    std::size_t DelayFrames() override;
    void Close() override;

private:
    std::string m_device;
    std::function<void(bool)> m_runTicks;
    std::function<void()> m_onTick;
    snd_pcm_t* m_pcm = nullptr;
    unsigned long m_bufferFrames = 0;
};

}  // namespace tolvane
