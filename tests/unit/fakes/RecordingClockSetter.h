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

    void SetClock(const ClockRecord& record, bool interactive) override {
        settings.push_back({record, interactive});
        if (whileSetting) whileSetting();
    }

    std::vector<Setting> settings;
    std::function<void()> whileSetting;
};

}  // namespace tolvane::fakes
