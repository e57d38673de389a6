#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "timesync/ClockSetter.h"

namespace tolvane {

// The program's one command-line argument, private to it: started so (with administrator
// rights), it moves its own clock by the offset in milliseconds and ends at once, reporting
// through its exit code. Not an absolute time: the user may take a while to answer the prompt.
inline constexpr std::string_view kSetClockArgument = "--set-clock-by=";

std::string SetClockArguments(std::int64_t offsetMs);
// Whether the arguments are that copy's: "--set-clock-by=" whatever follows, so that no value
// starts the program as anything else (a second copy ends with 0, which would read as set).
bool IsSetClockCommand(std::string_view arguments);
// The offset of such arguments: a sign and a whole number of milliseconds below 10^15 (longer
// than any clock runs); nullopt for anything else.
std::optional<std::int64_t> SetClockOffset(std::string_view arguments);

// That copy's exit codes, which no other path of the program returns.
enum class SetClockExit : int {
    Set = 0x544C5601,
    NoRight,
    Refused,
    OutOfRange,  // no offset, or one that would take the clock where it cannot be set
};
int SetClockExitCode(const ClockSetResult& result);
// The caller's reading: any other code (the copy crashed, or never ran as such) answered nothing.
ClockSetResult FromSetClockExitCode(unsigned long exitCode, std::int64_t offsetMs);

}  // namespace tolvane
