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
// The offset of arguments that are exactly "--set-clock-by=" and a signed whole number of
// milliseconds (less than a thousand years); nullopt for anything else.
std::optional<std::int64_t> SetClockOffset(std::string_view arguments);

// The one-shot copy's exit code for its result, and its caller's reading of it.
int SetClockExitCode(const ClockSetResult& result);
ClockSetResult FromSetClockExitCode(unsigned long exitCode, std::int64_t offsetMs);

}  // namespace tolvane
