#pragma once

#include "timesync/DaytimeReply.h"

namespace tolvane {

// Sets the computer clock. The outcome is not reported: a refusal (no right to change the
// clock, automatic synchronisation on, a field out of range) leaves the clock as it was.
// `interactive` allows the system to ask the user for permission; the hourly request never does.
class ClockSetter {
public:
    virtual ~ClockSetter() = default;
    virtual void SetClock(const ClockRecord& record, bool interactive) = 0;
};

}  // namespace tolvane
