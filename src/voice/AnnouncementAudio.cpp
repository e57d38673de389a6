#include "voice/AnnouncementAudio.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "voice/WavFile.h"

namespace tolvane {
namespace {

struct Pcm {
    StreamFormat format;
    std::vector<std::int16_t> samples;
};

std::optional<Pcm> Decode(const std::string& file, int volumePercent) {
    const std::optional<WavLayout> layout = ParseWav(file);
    if (!layout) return std::nullopt;
    const WavFormat& in = layout->format;
    Pcm pcm{{Pcm16Channels(in), in.sampleRate}, {}};
    AppendPcm16(in, reinterpret_cast<const unsigned char*>(file.data()) + layout->dataOffset,
                static_cast<std::size_t>(layout->dataBytes /
                                         static_cast<std::uint64_t>(in.BytesPerFrame())),
                pcm.samples, volumePercent);
    return pcm;
}

// Linear interpolation between neighbouring frames, and a mono clip on both channels or a
// stereo clip's channels averaged.
void AppendConverted(const Pcm& clip, const StreamFormat& to, std::vector<std::int16_t>& out) {
    const std::size_t inChannels = static_cast<std::size_t>(clip.format.channels);
    const std::size_t inFrames = clip.samples.size() / inChannels;
    const auto sample = [&](std::size_t frame, int channel) {
        const std::int16_t* f = clip.samples.data() + frame * inChannels;
        if (clip.format.channels == to.channels) return static_cast<double>(f[channel]);
        if (clip.format.channels == 1) return static_cast<double>(f[0]);
        return (f[0] + f[1]) / 2.0;
    };
    if (clip.format == to) {
        out.insert(out.end(), clip.samples.begin(), clip.samples.end());
        return;
    }
    const double step = static_cast<double>(clip.format.sampleRate) / to.sampleRate;
    const auto outFrames = static_cast<std::size_t>(
        std::llround(static_cast<double>(inFrames) * to.sampleRate / clip.format.sampleRate));
    out.reserve(out.size() + outFrames * static_cast<std::size_t>(to.channels));
    for (std::size_t frame = 0; frame < outFrames; ++frame) {
        const double at = static_cast<double>(frame) * step;
        const auto first = std::min(static_cast<std::size_t>(at), inFrames - 1);
        const std::size_t second = std::min(first + 1, inFrames - 1);
        const double weight = at - static_cast<double>(first);
        for (int channel = 0; channel < to.channels; ++channel) {
            const double value =
                sample(first, channel) * (1.0 - weight) + sample(second, channel) * weight;
            out.push_back(static_cast<std::int16_t>(std::lround(value)));
        }
    }
}

void InsertSilence(AnnouncementAudio& audio, std::size_t atFrame, std::size_t frames) {
    const auto channels = static_cast<std::size_t>(audio.format.channels);
    audio.samples.insert(audio.samples.begin() + static_cast<std::ptrdiff_t>(atFrame * channels),
                         frames * channels, 0);
    for (std::size_t& start : audio.clipFrames) {
        if (start >= atFrame) start += frames;
    }
}

template <typename Span>
long long FramesIn(Span span, int sampleRate) {
    return std::chrono::duration_cast<std::chrono::microseconds>(span).count() * sampleRate /
           1000000;
}

}  // namespace

void AppendAlert(const StreamFormat& format, std::vector<std::int16_t>& out) {
    constexpr double kPi = 3.14159265358979323846;
    const int frames = format.sampleRate * 18 / 100;
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / format.sampleRate;
        const double pitch = i < frames / 2 ? 988.0 : 784.0;
        const double ramp = format.sampleRate / 110.0;
        const double envelope = std::min({1.0, i / ramp, (frames - i) / ramp});
        const auto value = static_cast<std::int16_t>(
            std::lround(9000.0 * envelope * std::sin(2 * kPi * pitch * t)));
        out.insert(out.end(), static_cast<std::size_t>(format.channels), value);
    }
}

AnnouncementAudio JoinClips(const std::vector<std::optional<std::string>>& files, int volumePercent,
                            const std::vector<std::optional<std::string>>& alerts) {
    std::vector<std::optional<Pcm>> clips;
    clips.reserve(files.size());
    AnnouncementAudio audio;
    bool chosen = false;
    for (const std::optional<std::string>& file : files) {
        clips.push_back(file ? Decode(*file, volumePercent) : std::nullopt);
        if (!chosen && clips.back()) {
            audio.format = clips.back()->format;
            chosen = true;
        }
    }
    const auto pause = static_cast<std::size_t>(audio.format.sampleRate) * kClipPauseMs / 1000 *
                       static_cast<std::size_t>(audio.format.channels);
    for (std::size_t i = 0; i < clips.size(); ++i) {
        if (!audio.clipFrames.empty()) audio.samples.insert(audio.samples.end(), pause, 0);
        audio.clipFrames.push_back(audio.Frames());
        std::optional<Pcm> alert;
        if (!clips[i] && i < alerts.size() && alerts[i]) alert = Decode(*alerts[i], kFullVolume);
        if (clips[i] || alert) {
            AppendConverted(clips[i] ? *clips[i] : *alert, audio.format, audio.samples);
        } else {
            AppendAlert(audio.format, audio.samples);
        }
    }
    return audio;
}

bool StreamFeeder::Start(AnnouncementAudio audio, std::function<void()> onEnded,
                         std::optional<Instant> startAt) {
    Stop();
    m_audio = std::move(audio);
    m_onEnded = std::move(onEnded);
    m_written = 0;
    m_lastQueued = 0;
    m_idleTicks = 0;
    m_startAt = startAt;
    m_primeFrames = 0;
    m_open = m_audio.Frames() > 0 && m_stream.Open(m_audio.format, [this] { Tick(); });
    if (!m_open) {
        End();
        return false;
    }
    m_openedAt = std::chrono::steady_clock::now();
    if (m_startAt) {
        const long long left =
            FramesIn(*m_startAt - m_openedAt - std::chrono::milliseconds(kPrimeMarginMs),
                     m_audio.format.sampleRate);
        m_primeFrames = static_cast<std::size_t>(std::clamp(
            left, 0LL, static_cast<long long>(m_audio.format.sampleRate) * kPrimeMs / 1000));
        InsertSilence(m_audio, 0, m_primeFrames);
    }
    Tick();
    return m_open;
}

void StreamFeeder::TimeTheStart() {
    const auto now = std::chrono::steady_clock::now();
    const int rate = m_audio.format.sampleRate;
    const long long remaining = FramesIn(*m_startAt - now, rate);
    // A device cannot have played more than the time since it opened, whatever its position
    // says: Wine's counts what its own mixer has taken, some 150 ms ahead of the sound.
    const long long unplayed = static_cast<long long>(m_written) - FramesIn(now - m_openedAt, rate);
    const long long delay = std::max(static_cast<long long>(m_stream.DelayFrames()), unplayed);
    if (remaining > delay) {
        InsertSilence(m_audio, m_written, static_cast<std::size_t>(remaining - delay));
    }
    m_startAt.reset();
}

void StreamFeeder::Stop() {
    if (!m_open) return;
    m_open = false;
    m_onEnded = nullptr;
    m_stream.Close();
}

void StreamFeeder::Tick() {
    if (!m_open) return;
    const std::size_t ahead =
        static_cast<std::size_t>(m_audio.format.sampleRate) * kQueueAheadMs / 1000;
    const std::size_t channels = static_cast<std::size_t>(m_audio.format.channels);
    if (m_startAt && m_written >= m_primeFrames &&
        (m_stream.QueuedFrames() < m_primeFrames ||
         FramesIn(std::chrono::steady_clock::now() - m_openedAt, m_audio.format.sampleRate) * 3 >=
             static_cast<long long>(m_primeFrames) * 2)) {
        TimeTheStart();
    }
    // Nothing of the sound itself is queued before its start is timed.
    const std::size_t end = m_startAt ? m_primeFrames : m_audio.Frames();
    std::size_t queued = m_stream.QueuedFrames();
    bool moved = queued != m_lastQueued;
    while (m_written < end && queued < ahead) {
        const std::size_t want = std::min(ahead - queued, end - m_written);
        const std::size_t taken =
            std::min(want, m_stream.Write(m_audio.samples.data() + m_written * channels, want));
        if (taken == 0) break;
        m_written += taken;
        moved = true;
        queued = m_stream.QueuedFrames();
    }
    m_lastQueued = queued;
    m_idleTicks = moved ? 0 : m_idleTicks + 1;
    if ((m_written == m_audio.Frames() && queued == 0) || m_idleTicks >= kStalledTicks) {
        m_open = false;
        m_stream.Close();
        End();
    }
}

void StreamFeeder::End() {
    std::function<void()> ended = std::move(m_onEnded);
    m_onEnded = nullptr;
    if (ended) ended();
}

}  // namespace tolvane
