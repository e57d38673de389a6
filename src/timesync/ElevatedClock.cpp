#include "timesync/ElevatedClock.h"

#include "base/AsciiText.h"

namespace tolvane {
namespace {

constexpr std::int64_t kMaxOffsetMs = 1000LL * 366 * 86400 * 1000;

enum ExitCode : int { kSet = 0, kNoRight = 1, kRefused = 2 };

}  // namespace

std::string SetClockArguments(std::int64_t offsetMs) {
    return std::string(kSetClockArgument) + (offsetMs < 0 ? "" : "+") + std::to_string(offsetMs);
}

std::optional<std::int64_t> SetClockOffset(std::string_view arguments) {
    if (!arguments.starts_with(kSetClockArgument)) return std::nullopt;
    std::string_view number = arguments.substr(kSetClockArgument.size());
    if (number.empty() || (number[0] != '+' && number[0] != '-')) return std::nullopt;
    const bool negative = number[0] == '-';
    number.remove_prefix(1);
    if (number.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (char c : number) {
        if (!IsAsciiDigit(c)) return std::nullopt;
        value = value * 10 + (c - '0');
        if (value >= kMaxOffsetMs) return std::nullopt;
    }
    return negative ? -value : value;
}

int SetClockExitCode(const ClockSetResult& result) {
    if (result.set) return kSet;
    return result.refusal == ClockRefusal::NoRight ? kNoRight : kRefused;
}

ClockSetResult FromSetClockExitCode(unsigned long exitCode, std::int64_t offsetMs) {
    switch (exitCode) {
        case kSet:
            return {true, offsetMs};
        case kNoRight:
            return {false, offsetMs, ClockRefusal::NoRight};
        default:  // a crash or a kill, too
            return {false, offsetMs, ClockRefusal::Other};
    }
}

}  // namespace tolvane
