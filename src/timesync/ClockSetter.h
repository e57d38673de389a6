#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "timesync/DaytimeReply.h"

namespace tolvane {

// Why the system would not take a new time.
enum class ClockRefusal {
    NoRight,        // this user may not change the clock (on Windows: not unelevated)
    AutomaticSync,  // the system keeps its clock by network time and will not be set by hand
    NoService,      // no time service on this system to ask
    Declined,       // the user declined to give administrator rights
    NoAnswer,       // nothing answered the request within its time limit
    Other,          // anything else: a field out of range, a password prompt denied ...
};

// What became of a clock setting.
struct ClockSetResult {
    bool set = false;
    std::int64_t movedMs = 0;  // the new time minus the time it replaced, or would have replaced
    ClockRefusal refusal = ClockRefusal::Other;  // when not set
};
using ClockSetDone = std::function<void(const ClockSetResult&)>;

// Whether the system keeps its own clock by network time (an NTP client).
enum class SystemTimeSync { Off, NotYetSynchronised, Synchronised };

// Sets the computer clock. A refusal leaves the clock as it was. `interactive` allows the
// system to ask the user for permission; the hourly request never does. Every `done` is called
// once, on the user-interface thread: later, or before the call returns where the system
// answers at once.
class ClockSetter {
public:
    virtual ~ClockSetter() = default;
    virtual void SetClock(const ClockRecord& record, bool interactive, ClockSetDone done) = 0;
    // Off also where the system has no such client or will not say.
    virtual void ReadSystemTimeSync(std::function<void(SystemTimeSync)> done) = 0;
    // The record's time minus the clock now; nullopt for a record the system cannot place.
    virtual std::optional<std::int64_t> OffsetOf(const ClockRecord& record) = 0;
    // Whether a refusal for lack of rights can be overcome by SetClockElevated.
    virtual bool CanElevate() = 0;
    // Moves the clock by `offsetMs` in a copy of the program given administrator rights, the
    // user being asked for them first.
    virtual void SetClockElevated(std::int64_t offsetMs, ClockSetDone done) = 0;
};

}  // namespace tolvane
