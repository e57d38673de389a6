#include "voice/AnnouncementAudio.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace tolvane {
namespace {

// Frames read from a clip file at a time.
constexpr std::size_t kBlockFrames = 4096;

template <typename Span>
long long FramesIn(Span span, int sampleRate) {
    return std::chrono::duration_cast<std::chrono::microseconds>(span).count() * sampleRate /
           1000000;
}

// The clip's frames [first, first + frames) as 16-bit samples at `volume`; false when the file
// no longer holds them.
bool DecodeBlock(const WavFormat& format, const WavReader& read, std::uint64_t dataOffset,
                 std::uint64_t first, std::size_t frames, int volume,
                 std::vector<unsigned char>& bytes, std::vector<std::int16_t>& out) {
    const auto frameBytes = static_cast<std::size_t>(format.BytesPerFrame());
    bytes.resize(frames * frameBytes);
    out.clear();
    if (!read(dataOffset + first * frameBytes, bytes.data(), bytes.size())) return false;
    AppendPcm16(format, bytes.data(), frames, out, volume);
    return true;
}

bool IsLoud(std::int16_t sample) {
    return std::abs(static_cast<int>(sample)) > kQuietLevel;
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

FrameSpan SoundBetweenQuietEnds(const WavFormat& format, const WavReader& read,
                                std::uint64_t dataOffset, std::uint64_t frames) {
    const auto channels = static_cast<std::size_t>(Pcm16Channels(format));
    std::vector<unsigned char> bytes;
    std::vector<std::int16_t> block;
    std::optional<std::uint64_t> firstLoud;
    for (std::uint64_t at = 0; at < frames && !firstLoud; at += kBlockFrames) {
        const auto count =
            static_cast<std::size_t>(std::min<std::uint64_t>(kBlockFrames, frames - at));
        if (!DecodeBlock(format, read, dataOffset, at, count, kFullVolume, bytes, block)) break;
        const auto loud = std::find_if(block.begin(), block.end(), IsLoud);
        if (loud != block.end())
            firstLoud = at + static_cast<std::uint64_t>(loud - block.begin()) / channels;
    }
    if (!firstLoud) return {};
    std::uint64_t lastLoud = *firstLoud;
    for (std::uint64_t end = frames; end > *firstLoud;) {
        const auto count =
            static_cast<std::size_t>(std::min<std::uint64_t>(kBlockFrames, end - *firstLoud));
        end -= count;
        if (!DecodeBlock(format, read, dataOffset, end, count, kFullVolume, bytes, block)) break;
        const auto loud = std::find_if(block.rbegin(), block.rend(), IsLoud);
        if (loud != block.rend()) {
            lastLoud = end + static_cast<std::uint64_t>(block.rend() - loud - 1) / channels;
            break;
        }
    }
    const auto kept = static_cast<std::uint64_t>(format.sampleRate) * kQuietKeptMs / 1000;
    return {*firstLoud > kept ? *firstLoud - kept : 0, std::min(frames, lastLoud + 1 + kept)};
}

// A clip (or the alert file standing in for one) converted a block at a time, or our beep.
struct AnnouncementSource::Part {
    std::unique_ptr<ClipFile> file;  // none: the beep
    WavReader read;
    WavLayout layout;
    FrameSpan span;
    int volume = kFullVolume;
    bool fromClip = false;
    // Set at the first read, once the stream's format is known.
    bool started = false;
    std::uint64_t outFrames = 0;
    std::uint64_t outDone = 0;
    std::vector<std::int16_t> block;  // 16-bit frames from blockFirst (within the span)
    std::uint64_t blockFirst = 0;
    std::vector<unsigned char> bytes;

    std::uint64_t InFrames() const { return span.end - span.first; }

    bool Holds(std::uint64_t frame) const {
        const auto channels = static_cast<std::size_t>(Pcm16Channels(layout.format));
        return frame >= blockFirst && frame - blockFirst < block.size() / channels;
    }

    std::size_t Read(const StreamFormat& to, std::int16_t* out, std::size_t frames) {
        const auto outChannels = static_cast<std::size_t>(to.channels);
        if (!started) {
            started = true;
            if (!file) {
                AppendAlert(to, block);
                outFrames = block.size() / outChannels;
            } else {
                outFrames = static_cast<std::uint64_t>(std::llround(
                    static_cast<double>(InFrames()) * to.sampleRate / layout.format.sampleRate));
                block.clear();
            }
        }
        std::size_t done = 0;
        if (!file) {
            done = static_cast<std::size_t>(std::min<std::uint64_t>(frames, outFrames - outDone));
            std::copy_n(block.begin() + static_cast<std::ptrdiff_t>(outDone * outChannels),
                        done * outChannels, out);
            outDone += done;
            return done;
        }
        const int inChannels = Pcm16Channels(layout.format);
        const double step = static_cast<double>(layout.format.sampleRate) / to.sampleRate;
        const std::uint64_t last = InFrames() - 1;
        for (; done < frames && outDone < outFrames; ++done, ++outDone) {
            // Linear interpolation between neighbouring frames; a mono clip on both channels,
            // a stereo clip's channels averaged.
            const double at = static_cast<double>(outDone) * step;
            const std::uint64_t first = std::min(static_cast<std::uint64_t>(at), last);
            const std::uint64_t second = std::min(first + 1, last);
            if (!Holds(first) || !Holds(second)) {
                const auto count = static_cast<std::size_t>(
                    std::min<std::uint64_t>(kBlockFrames, InFrames() - first));
                blockFirst = first;
                if (!DecodeBlock(layout.format, read, layout.dataOffset, span.first + first, count,
                                 volume, bytes, block)) {
                    outFrames = outDone;  // the file shrank: the clip ends here
                    break;
                }
            }
            const std::int16_t* a = block.data() + (first - blockFirst) * inChannels;
            const std::int16_t* b = block.data() + (second - blockFirst) * inChannels;
            const double weight = at - static_cast<double>(first);
            for (int channel = 0; channel < to.channels; ++channel) {
                const auto sample = [&](const std::int16_t* f) {
                    if (inChannels == to.channels) return static_cast<double>(f[channel]);
                    if (inChannels == 1) return static_cast<double>(f[0]);
                    return (f[0] + f[1]) / 2.0;
                };
                const double value = sample(a) * (1.0 - weight) + sample(b) * weight;
                out[done * outChannels + static_cast<std::size_t>(channel)] =
                    static_cast<std::int16_t>(std::lround(value));
            }
        }
        return done;
    }
};

AnnouncementSource::AnnouncementSource(SoundStream& files, std::vector<std::string> paths,
                                       int volumePercent)
    : m_files(files), m_paths(std::move(paths)), m_volume(volumePercent) {}

AnnouncementSource::~AnnouncementSource() = default;

std::unique_ptr<AnnouncementSource::Part> AnnouncementSource::Load(std::size_t clip) {
    const auto open = [](std::unique_ptr<ClipFile> file, int volume) {
        std::unique_ptr<Part> part;
        if (!file) return part;
        ClipFile* raw = file.get();
        WavReader read = [raw](std::uint64_t offset, void* buffer, std::size_t length) {
            return raw->Read(offset, buffer, length);
        };
        const std::optional<WavLayout> layout = ParseWav(read, raw->Size());
        if (!layout) return part;
        const std::uint64_t frames =
            layout->dataBytes / static_cast<std::uint64_t>(layout->format.BytesPerFrame());
        if (frames > static_cast<std::uint64_t>(layout->format.sampleRate) * kMaxClipSeconds) {
            return part;
        }
        part = std::make_unique<Part>();
        part->span = SoundBetweenQuietEnds(layout->format, read, layout->dataOffset, frames);
        part->file = std::move(file);
        part->read = std::move(read);
        part->layout = *layout;
        part->volume = volume;
        return part;
    };
    const std::string& path = m_paths[clip];
    std::unique_ptr<Part> part = open(m_files.OpenClip(path), m_volume);
    if (part) {
        part->fromClip = true;
        return part;
    }
    m_unplayable.push_back(path);
    part = open(m_files.OpenAlert(), kFullVolume);
    return part ? std::move(part) : std::make_unique<Part>();
}

StreamFormat AnnouncementSource::Format() {
    if (m_format) return *m_format;
    m_format = StreamFormat{};
    while (m_nextClip < m_paths.size()) {
        m_parts.push_back(Load(m_nextClip++));
        const Part& part = *m_parts.back();
        if (part.fromClip) {
            m_format =
                StreamFormat{Pcm16Channels(part.layout.format), part.layout.format.sampleRate};
            break;
        }
    }
    return *m_format;
}

AnnouncementSource::Part* AnnouncementSource::Current() {
    if (m_parts.empty() && m_nextClip < m_paths.size()) m_parts.push_back(Load(m_nextClip++));
    return m_parts.empty() ? nullptr : m_parts.front().get();
}

std::size_t AnnouncementSource::Read(std::int16_t* out, std::size_t frames) {
    const StreamFormat format = Format();
    const auto channels = static_cast<std::size_t>(format.channels);
    std::size_t done = 0;
    while (done < frames) {
        if (m_pause > 0) {
            const auto silent =
                static_cast<std::size_t>(std::min<std::uint64_t>(m_pause, frames - done));
            std::fill_n(out + done * channels, silent * channels, 0);
            m_pause -= silent;
            done += silent;
            continue;
        }
        Part* part = Current();
        if (part == nullptr) break;
        done += part->Read(format, out + done * channels, frames - done);
        if (part->outDone < part->outFrames) continue;
        m_parts.erase(m_parts.begin());
        if (m_nextClip < m_paths.size() || !m_parts.empty()) {
            m_pause = static_cast<std::uint64_t>(format.sampleRate) * kClipPauseMs / 1000;
        }
    }
    return done;
}

// One announcement on the feeder's thread, from the opening of its device to its closing.
class StreamFeeder::Playback {
public:
    Playback(SoundStream& stream, std::vector<std::string> paths, int volume,
             std::optional<Instant> startAt)
        : m_stream(stream), m_source(stream, std::move(paths), volume), m_startAt(startAt) {}

    // false once it has ended; with `stop` it ends at once.
    bool Tick(bool stop) {
        if (stop || (m_begun && !m_open)) {
            Close();
            return false;
        }
        if (!m_begun) {
            m_begun = true;
            if (!Open()) return false;
        }
        Feed();
        return m_open;
    }

    const std::vector<std::string>& Unplayable() const { return m_source.Unplayable(); }

private:
    bool Open() {
        m_format = m_source.Format();
        m_open = m_stream.Open(m_format);
        if (!m_open) return false;
        m_openedAt = std::chrono::steady_clock::now();
        // As much as the device is to hold: the silence before a timed start then goes to it in
        // one write. PulseAudio, handed a stream's start in pieces while it resamples it,
        // rewinds its mix for each and plays the stream up to 15 ms earlier than it says.
        m_staged.resize(Ahead() * static_cast<std::size_t>(m_format.channels));
        if (m_startAt) {
            const long long left =
                FramesIn(*m_startAt - m_openedAt - std::chrono::milliseconds(kPrimeMarginMs),
                         m_format.sampleRate);
            m_primeFrames = static_cast<std::size_t>(std::clamp(
                left, 0LL, static_cast<long long>(m_format.sampleRate) * kPrimeMs / 1000));
            m_silence = m_primeFrames;
        }
        return true;
    }

    void TimeTheStart() {
        const auto now = std::chrono::steady_clock::now();
        const int rate = m_format.sampleRate;
        const long long remaining = FramesIn(*m_startAt - now, rate);
        // A device cannot have played more than the time since it opened, whatever its position
        // says: Wine's counts what its own mixer has taken, some 150 ms ahead of the sound.
        const long long unplayed =
            static_cast<long long>(m_written) - FramesIn(now - m_openedAt, rate);
        const long long delay = std::max(static_cast<long long>(m_stream.DelayFrames()), unplayed);
        if (remaining > delay) m_silence += static_cast<std::size_t>(remaining - delay);
        m_startAt.reset();
    }

    // Fills the stage: the silence owed first; nothing of the sound itself before its start is
    // timed.
    std::size_t Stage(std::size_t frames) {
        const auto channels = static_cast<std::size_t>(m_format.channels);
        if (m_silence > 0) {
            const std::size_t silent = std::min(frames, m_silence);
            std::fill_n(m_staged.begin(), silent * channels, 0);
            m_silence -= silent;
            return silent;
        }
        if (m_startAt || m_sourceDone) return 0;
        const std::size_t read = m_source.Read(m_staged.data(), frames);
        m_sourceDone = read < frames;
        return read;
    }

    std::size_t Ahead() const {
        return static_cast<std::size_t>(m_format.sampleRate) * kQueueAheadMs / 1000;
    }

    void Feed() {
        const int rate = m_format.sampleRate;
        const std::size_t ahead = Ahead();
        const auto channels = static_cast<std::size_t>(m_format.channels);
        if (m_startAt && m_written >= m_primeFrames &&
            (m_stream.QueuedFrames() < m_primeFrames ||
             FramesIn(std::chrono::steady_clock::now() - m_openedAt, rate) * 3 >=
                 static_cast<long long>(m_primeFrames) * 2)) {
            TimeTheStart();
        }
        std::size_t queued = m_stream.QueuedFrames();
        bool moved = queued != m_lastQueued;
        while (queued < ahead) {
            if (m_stagedTaken == m_stagedFrames) {
                m_stagedTaken = 0;
                m_stagedFrames = Stage(ahead - queued);
                if (m_stagedFrames == 0) break;
            }
            const std::size_t offered = m_stagedFrames - m_stagedTaken;
            const std::size_t taken = std::min(
                offered, m_stream.Write(m_staged.data() + m_stagedTaken * channels, offered));
            if (taken == 0) break;
            m_stagedTaken += taken;
            m_written += taken;
            moved = true;
            queued = m_stream.QueuedFrames();
        }
        m_lastQueued = queued;
        m_idleTicks = moved ? 0 : m_idleTicks + 1;
        const bool allWritten = m_sourceDone && m_silence == 0 && m_stagedTaken == m_stagedFrames;
        if ((allWritten && queued == 0) || m_idleTicks >= kStalledTicks) Close();
    }

    void Close() {
        if (!m_open) return;
        m_open = false;
        m_stream.Close();
    }

    SoundStream& m_stream;
    AnnouncementSource m_source;
    std::optional<Instant> m_startAt;  // until the silence before the sound is measured out
    StreamFormat m_format;
    std::vector<std::int16_t> m_staged;
    std::size_t m_stagedFrames = 0;
    std::size_t m_stagedTaken = 0;
    std::size_t m_silence = 0;  // frames owed before the source's
    std::size_t m_written = 0;  // frames
    std::size_t m_lastQueued = 0;
    std::size_t m_primeFrames = 0;
    Instant m_openedAt;
    int m_idleTicks = 0;
    bool m_begun = false;
    bool m_open = false;
    bool m_sourceDone = false;
};

void StreamFeeder::Start(std::vector<std::string> paths, int volumePercent, Ended onEnded,
                         std::optional<Instant> startAt) {
    const unsigned run = ++m_run;
    m_onEnded = std::move(onEnded);
    auto playback = std::make_shared<Playback>(m_stream, std::move(paths), volumePercent, startAt);
    const std::weak_ptr<int> alive = m_alive;
    const bool started = m_thread.Start([this, run, alive, playback](bool stop) {
        if (playback->Tick(stop)) return true;
        if (!stop) {
            m_thread.Post([this, run, alive, unplayable = playback->Unplayable()]() mutable {
                if (!alive.expired()) Report(run, std::move(unplayable));
            });
        }
        return false;
    });
    if (!started) {
        m_thread.Post([this, run, alive] {
            if (!alive.expired()) Report(run, {});
        });
    }
}

void StreamFeeder::Stop() {
    ++m_run;
    m_onEnded = nullptr;
    m_thread.Stop();
}

void StreamFeeder::StopForExit() {
    ++m_run;
    m_onEnded = nullptr;
    m_thread.Leave();
}

void StreamFeeder::Prepare() {
    // Once something has played the sound system is loaded, and a start would stop it.
    if (m_run != 0) return;
    m_thread.Start([this](bool stop) {
        if (!stop) m_stream.Prepare();
        return false;
    });
}

void StreamFeeder::Report(unsigned run, std::vector<std::string> unplayable) {
    if (run != m_run) return;
    Ended ended = std::move(m_onEnded);
    m_onEnded = nullptr;
    if (ended) ended(unplayable);
}

}  // namespace tolvane
