#include "timesync/ElevatedClock.h"

#include "base/AsciiText.h"

namespace tolvane {
namespace {

constexpr std::int64_t kMaxOffsetMs = 1'000'000'000'000'000;

}  // namespace

std::string SetClockArguments(std::int64_t offsetMs) {
    return std::string(kSetClockArgument) + (offsetMs < 0 ? "" : "+") + std::to_string(offsetMs);
}

bool IsSetClockCommand(std::string_view arguments) {
    return arguments.starts_with(kSetClockArgument);
}

std::optional<std::int64_t> SetClockOffset(std::string_view arguments) {
    if (!IsSetClockCommand(arguments)) return std::nullopt;
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
    if (result.set) return static_cast<int>(SetClockExit::Set);
    return static_cast<int>(result.refusal == ClockRefusal::NoRight ? SetClockExit::NoRight
                                                                    : SetClockExit::Refused);
}

ClockSetResult FromSetClockExitCode(unsigned long exitCode, std::int64_t offsetMs) {
    switch (static_cast<SetClockExit>(exitCode)) {
        case SetClockExit::Set:
            return {true, offsetMs};
        case SetClockExit::NoRight:
            return {false, offsetMs, ClockRefusal::NoRight};
        case SetClockExit::Refused:
        case SetClockExit::OutOfRange:
            return {false, offsetMs, ClockRefusal::Other};
    }
    return {false, offsetMs, ClockRefusal::NoAnswer};
}

}  // namespace tolvane
