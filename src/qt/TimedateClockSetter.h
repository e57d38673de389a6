#pragma once

#include "timesync/ClockSetter.h"

namespace tolvane {

// Sets the clock through systemd's timedate service on the system bus, never directly. The
// call's answer comes back through the event loop: an error reply (no permission, automatic
// time synchronisation on, no service) is a refusal, and no reply within the call's time limit
// (which leaves room for a password prompt) is no answer. The service also says whether an NTP
// client keeps the clock.
class TimedateClockSetter final : public ClockSetter {
public:
    void SetClock(const ClockRecord& record, bool interactive, ClockSetDone done) override;
    void ReadSystemTimeSync(std::function<void(SystemTimeSync)> done) override;
    std::optional<std::int64_t> OffsetOf(const ClockRecord& record) override;
    bool CanElevate() override { return false; }
    void SetClockElevated(std::int64_t offsetMs, ClockSetDone done) override {
        done({false, offsetMs, ClockRefusal::Other});
    }
};

}  // namespace tolvane
