#pragma once

#include "timesync/ClockSetter.h"

namespace tolvane {

// SetLocalTime with the record (a UTC record turned into local time first), answered at once.
class Win32ClockSetter final : public ClockSetter {
public:
    void SetClock(const ClockRecord& record, bool interactive, ClockSetDone done) override;
};

}  // namespace tolvane
