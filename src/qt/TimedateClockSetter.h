#pragma once

#include "timesync/ClockSetter.h"

namespace tolvane {

// Sets the clock through systemd's timedate service on the system bus, never directly: the
// call is sent without waiting for its answer, and a refusal (no permission, automatic time
// synchronisation on, no service) goes unnoticed.
class TimedateClockSetter final : public ClockSetter {
public:
    void SetClock(const ClockRecord& record, bool interactive) override;
};

}  // namespace tolvane
