#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "timesync/TimeServer.h"

namespace tolvane {

// How one synchronisation ended.
enum class SyncResult {
    ClockSet,       // the system took the new time
    Refused,        // the system would not change its clock
    NoReply,        // no connection, or nothing but blank lines before it ended
    UnusableReply,  // a reply that names no time we could set
    NoServer,       // the configured time server could not be understood
};

struct SyncOutcome {
    SyncResult result = SyncResult::NoReply;
    std::int64_t movedMs = 0;  // ClockSet: the new time minus the time it replaced

    friend bool operator==(const SyncOutcome&, const SyncOutcome&) = default;
};

// The text of the notification after a synchronisation asked for by hand: the change in whole
// seconds ("时间已校准，调整了 +3 秒", larger ones in days, hours, minutes and seconds), or
// why it failed, naming the server.
std::string SyncFeedbackText(const SyncOutcome& outcome, const std::optional<TimeServer>& server);

}  // namespace tolvane
