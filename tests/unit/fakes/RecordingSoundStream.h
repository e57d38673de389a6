#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "WavBuilder.h"
#include "voice/SoundStream.h"

namespace tolvane::fakes {

// Records every clip path read and every sample written. Each clip is 1 ms at a level of
// 10000 ("" reads nothing); the device holds `room` frames and plays them when a test says.
class RecordingSoundStream final : public SoundStream {
public:
    std::optional<std::string> ReadClip(const std::string& path) override {
        played.push_back(path);
        if (readHook) readHook();
        if (path.empty()) return std::nullopt;
        std::string level;
        for (int i = 0; i < 22; ++i) level += "\x10\x27";
        return testing::Wav({{"fmt ", testing::Fmt(1, 1, 22050, 16)}, {"data", level}});
    }
    bool Open(const StreamFormat& f, std::function<void()> onTick) override {
        format = f;
        tick = hasDevice ? std::move(onTick) : nullptr;
        written.clear();
        opens += hasDevice ? 1 : 0;
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
        tick = nullptr;
        ++closes;
        if (queued > 0 && onSilenced) onSilenced();
        if (onClosed) onClosed();
        queued = 0;
    }

    // Ticks, the device playing `framesPerTick` before each, until it is closed.
    int PlayOut(std::size_t framesPerTick = 1000) {
        int ticks = 0;
        for (; tick && ticks < 100000; ++ticks) {
            if (beforeTick) beforeTick(ticks + 1);
            queued -= std::min(framesPerTick, queued);
            if (const std::function<void()> next = tick) next();
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
    std::vector<std::int16_t> written;
    StreamFormat format;
    std::size_t room = 100000;
    std::size_t queued = 0;
    bool hasDevice = true;
    int opens = 0;
    int closes = 0;
    std::function<void()> tick;
    std::function<void(int tick)> beforeTick;
    std::function<void()> readHook, onSilenced, onClosed;
};

}  // namespace tolvane::fakes
