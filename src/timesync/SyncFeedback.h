#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/Clock.h"
#include "timesync/TimeServer.h"

namespace tolvane {

// How one synchronisation ended.
enum class SyncResult {
    ClockSet,          // the system took the new time
    Refused,           // the system would not change its clock
    ElevationOffered,  // not without administrator rights, which the user may now give
    Declined,          // the user declined to give them
    AutomaticSync,     // refused: the system synchronises its clock itself, not yet done
    SystemKeepsTime,   // the system has synchronised its clock itself; nothing was set
    NoTimeService,     // no time service on this system to ask
    NoAnswer,          // the system did not answer the request to set the clock in time
    NoReply,           // no connection, or nothing but blank lines before it ended
    NameNotFound,      // the server's name could not be looked up
    UnusableReply,     // a reply that names no time we could set
    NoServer,          // the configured time server could not be understood
};

struct SyncOutcome {
    SyncResult result = SyncResult::NoReply;
    // ClockSet: the new time minus the time it replaced; where the server answered but nothing
    // was set: the server's time minus ours.
    std::int64_t movedMs = 0;
    // How far either way the server's time may be off: the reply's resolution and its transit.
    std::int64_t uncertaintyMs = 0;

    friend bool operator==(const SyncOutcome&, const SyncOutcome&) = default;
};

// The text of the notification after a synchronisation asked for by hand: the change in whole
// seconds ("时间已校准，调整了 +3 秒", larger ones in days, hours, minutes and seconds), the
// difference found where nothing was set, or why it failed, naming the server.
std::string SyncFeedbackText(const SyncOutcome& outcome, const std::optional<TimeServer>& server);

// The tooltip's line about the last synchronisation: "上次校时 10:00 +0.3 秒", or
// "上次校时 10:00 失败" where the clock is neither set nor found right.
std::string LastSyncLine(const SyncOutcome& outcome, const LocalDateTime& at);

// The tooltip's line once the clock has turned out to need rights this run does not have.
inline constexpr std::string_view kNoRightLine = "需要管理员权限才能校时";

}  // namespace tolvane
