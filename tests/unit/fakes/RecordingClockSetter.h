#pragma once

#include <functional>
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

    std::vector<Setting> settings;
    std::function<void()> whileSetting;
    // What the system answers: at once, or when the test calls the pending ones.
    ClockSetResult answer{true, 0};
    bool answerAtOnce = true;
    std::vector<ClockSetDone> pending;
};

}  // namespace tolvane::fakes
