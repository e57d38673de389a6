#pragma once

#include <functional>
#include <string>
#include <vector>

#include "timesync/ClockSetter.h"

namespace tolvane::fakes {

class RecordingClockSetter final : public ClockSetter {
public:
    struct Setting {
        ClockRecord record;
        bool interactive;
    };

    void SetClock(const ClockRecord& record, bool interactive, ClockSetDone done) override {
        settings.push_back({record, interactive});
        if (whileSetting) whileSetting();
        if (answerAtOnce) {
            done(answer);
        } else {
            pending.push_back(std::move(done));
        }
    }
    void ReadSystemTimeSync(std::function<void(SystemTimeSync)> done) override { done(systemSync); }
    std::optional<std::int64_t> OffsetOf(const ClockRecord&) override { return answer.movedMs; }
    bool CanElevate() override { return true; }
    void SetClockElevated(std::int64_t offsetMs, ClockSetDone done) override {
        elevated.push_back(offsetMs);
        ClockSetResult result = elevatedAnswer;
        result.movedMs = offsetMs;
        done(result);
    }

    std::vector<Setting> settings;
    std::function<void()> whileSetting;
    // What the system answers: at once, or when the test calls the pending ones.
    ClockSetResult answer{true, 0};
    bool answerAtOnce = true;
    std::vector<ClockSetDone> pending;
    SystemTimeSync systemSync = SystemTimeSync::Off;
    std::vector<std::int64_t> elevated;  // the offsets handed to a copy with rights
    ClockSetResult elevatedAnswer{true, 0};
};

}  // namespace tolvane::fakes
