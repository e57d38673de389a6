#pragma once

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "WavBuilder.h"
#include "voice/SoundStream.h"

namespace tolvane::fakes {

class MemoryClipFile final : public ClipFile {
public:
    explicit MemoryClipFile(std::string bytes) : m_bytes(std::move(bytes)) {}
    std::uint64_t Size() override { return m_bytes.size(); }
    bool Read(std::uint64_t offset, void* buffer, std::size_t length) override {
        if (offset > m_bytes.size() || length > m_bytes.size() - offset) return false;
        std::memcpy(buffer, m_bytes.data() + offset, length);
        return true;
    }

private:
    std::string m_bytes;
};

// Records every clip path read and every sample written. Each clip is `files[path]`, else 1 ms
// at a level of 10000 ("" reads nothing); the device holds `room` frames and plays them when a
// test says. Its ticks run on the test's own thread: the first at Start, the others from
// PlayOut; what they post runs once the tick has returned.
class RecordingSoundStream final : public SoundStream, public SoundThread {
public:
    std::unique_ptr<ClipFile> OpenClip(const std::string& path) override {
        played.push_back(path);
        if (readHook) readHook();
        if (path.empty()) return nullptr;
        if (const auto file = files.find(path); file != files.end()) {
            return std::make_unique<MemoryClipFile>(file->second);
        }
        std::string level;
        for (int i = 0; i < 22; ++i) level += "\x10\x27";
        return std::make_unique<MemoryClipFile>(
            testing::Wav({{"fmt ", testing::Fmt(1, 1, 22050, 16)}, {"data", level}}));
    }
    bool Open(const StreamFormat& f) override {
        format = f;
        written.clear();
        opens += hasDevice ? 1 : 0;
        open = hasDevice;
        return hasDevice;
    }
    std::size_t Write(const std::int16_t* samples, std::size_t frames) override {
        const std::size_t taken = std::min(frames, room - queued);
        written.insert(written.end(), samples, samples + taken * format.channels);
        queued += taken;
        return taken;
    }
    std::size_t QueuedFrames() override { return queued; }
    void Close() override {
        open = false;
        ++closes;
        if (queued > 0 && onSilenced) onSilenced();
        if (onClosed) onClosed();
        queued = 0;
    }

    bool Start(std::function<bool(bool)> run) override {
        Stop();
        tick = std::move(run);
        Step();
        return true;
    }
    void Stop() override {
        if (const std::function<bool(bool)> last = std::exchange(tick, nullptr)) last(true);
        RunPosted();
    }
    void Post(std::function<void()> task) override { posted.push_back(std::move(task)); }

    // Ticks, the device playing `framesPerTick` before each, until the run has ended.
    int PlayOut(std::size_t framesPerTick = 1000) {
        int ticks = 0;
        for (; tick && ticks < 100000; ++ticks) {
            if (beforeTick) beforeTick(ticks + 1);
            queued -= std::min(framesPerTick, queued);
            if (tick) Step();
        }
        return ticks;
    }

    // The clip words without folder and ".wav".
    std::vector<std::string> Words(const std::string& folder) const {
        std::vector<std::string> words;
        for (const std::string& path : played) {
            std::string word = path.substr(0, path.size() - 4);
            if (word.rfind(folder, 0) == 0) word.erase(0, folder.size());
            words.push_back(word);
        }
        return words;
    }

    std::vector<std::string> played;
    std::map<std::string, std::string> files;
    std::vector<std::int16_t> written;
    StreamFormat format;
    std::size_t room = 100000;
    std::size_t queued = 0;
    bool hasDevice = true;
    bool open = false;
    int opens = 0;
    int closes = 0;
    std::function<bool(bool)> tick;
    std::function<void(int tick)> beforeTick;
    std::function<void()> readHook, onSilenced, onClosed;

private:
    void Step() {
        if (!std::function<bool(bool)>(tick)(false)) tick = nullptr;
        RunPosted();
    }
    void RunPosted() {
        while (!posted.empty()) {
            const std::function<void()> task = std::move(posted.front());
            posted.erase(posted.begin());
            task();
        }
    }

    std::vector<std::function<void()>> posted;
};

}  // namespace tolvane::fakes
