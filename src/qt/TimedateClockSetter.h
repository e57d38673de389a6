#pragma once

#include "timesync/ClockSetter.h"

namespace tolvane {

// Sets the clock through systemd's timedate service on the system bus, never directly. The
// call's answer comes back through the event loop: an error reply (no permission, automatic
// time synchronisation on, no service) is a refusal.
class TimedateClockSetter final : public ClockSetter {
public:
    void SetClock(const ClockRecord& record, bool interactive, ClockSetDone done) override;
};

}  // namespace tolvane
