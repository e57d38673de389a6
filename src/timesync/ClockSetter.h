#pragma once

#include <cstdint>
#include <functional>

#include "timesync/DaytimeReply.h"

namespace tolvane {

// What became of a clock setting.
struct ClockSetResult {
    bool set = false;          // false: refused (no right to change the clock, automatic
                               // synchronisation on, no service, a field out of range)
    std::int64_t movedMs = 0;  // when set: the new time minus the time it replaced
};
using ClockSetDone = std::function<void(const ClockSetResult&)>;

// Sets the computer clock. A refusal leaves the clock as it was. `interactive` allows the
// system to ask the user for permission; the hourly request never does.
class ClockSetter {
public:
    virtual ~ClockSetter() = default;
    // `done` is called once with the result, on the user-interface thread: later, or before
    // SetClock returns where the system answers at once.
    virtual void SetClock(const ClockRecord& record, bool interactive, ClockSetDone done) = 0;
};

}  // namespace tolvane
