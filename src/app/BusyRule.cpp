#include "app/BusyRule.h"

#include <array>
#include <chrono>
#include <cstdio>

#include "voice/Schedule.h"

namespace tolvane {
namespace {

constexpr int kDefaultMorningMinute = 7 * 60;
constexpr int kSecondsPerDay = 24 * 60 * 60;

SignalState StateOf(const BusyInputs& inputs, DesktopSignal signal) {
    return inputs.states[static_cast<std::size_t>(signal)];
}

std::string HourMinute(const LocalDateTime& t) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", t.hour % 24, t.minute % 60);
    return text;
}

// The instant local fields name, their zone's offset taken at that instant (a time the spring
// night skips comes out an hour off, either way).
std::int64_t UtcOfFields(std::int64_t fieldSeconds, int offsetGuess, Clock& clock) {
    std::int64_t utc = fieldSeconds - offsetGuess;
    for (int i = 0; i < 2; ++i) utc = fieldSeconds - clock.LocalAt(utc).utcOffsetSeconds;
    return utc;
}

}  // namespace

BusyVerdict DecideAnnouncement(const BusyInputs& inputs, const LocalDateTime& moment,
                               const LocalDateTime& now) {
    if (inputs.pausedUntil && UtcSeconds(now) < *inputs.pausedUntil) return {Verdict::Skip, {}};
    if (!inputs.quietWhenBusy) return {};
    for (DesktopSignal signal : {DesktopSignal::Locked, DesktopSignal::DoNotDisturb}) {
        if (StateOf(inputs, signal) == SignalState::On) return {Verdict::Skip, signal};
    }
    const bool late = UtcSeconds(now) - UtcSeconds(moment) >= kBusyWaitLimitSeconds;
    for (DesktopSignal signal : {DesktopSignal::FullScreen, DesktopSignal::Microphone}) {
        if (StateOf(inputs, signal) == SignalState::On) {
            return {late ? Verdict::Skip : Verdict::Wait, signal};
        }
    }
    // A moment that waited into the quiet span keeps quiet.
    const bool movedOn = now.hour != moment.hour || now.minute != moment.minute;
    if (movedOn && IsQuietMinute(now.hour * 60 + now.minute, inputs.quietStart, inputs.quietEnd)) {
        return {Verdict::Skip, {}};
    }
    return {};
}

int PauseMorningMinute(int quietStart, int quietEnd) {
    // A span's own start lies inside it exactly when there is a span.
    return IsQuietMinute(quietStart, quietStart, quietEnd) ? quietEnd : kDefaultMorningMinute;
}

std::int64_t PauseEnd(PauseChoice choice, const LocalDateTime& now, int morningMinute,
                      Clock& clock) {
    if (choice == PauseChoice::OneHour) return UtcSeconds(now) - now.second + 60 * 60;
    const int nowMinute = now.hour * 60 + now.minute;
    const std::int64_t todayStart = FieldSeconds(now) - nowMinute * 60 - now.second;
    const std::int64_t fields =
        todayStart + morningMinute * 60 + (nowMinute < morningMinute ? 0 : kSecondsPerDay);
    return UtcOfFields(fields, now.utcOffsetSeconds, clock);
}

std::string PauseKeyText(const LocalDateTime& end) {
    char text[24];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", end.year % 10000, end.month % 100,
                  end.day % 100, end.hour % 100, end.minute % 100);
    return text;
}

std::optional<std::int64_t> ParsePauseKey(std::string_view text, Clock& clock) {
    // "yyyy-mm-dd HH:MM": digits everywhere but the four separators.
    constexpr std::string_view kForm = "0000-00-00 00:00";
    if (text.size() != kForm.size()) return std::nullopt;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kForm[i] == '0' ? !digit : text[i] != kForm[i]) return std::nullopt;
    }
    const auto number = [text](std::size_t at, std::size_t length) {
        int value = 0;
        for (std::size_t i = at; i < at + length; ++i) value = value * 10 + (text[i] - '0');
        return value;
    };
    LocalDateTime end;
    end.year = number(0, 4);
    end.month = number(5, 2);
    end.day = number(8, 2);
    end.hour = number(11, 2);
    end.minute = number(14, 2);
    using namespace std::chrono;
    const year_month_day date{year{end.year}, month{static_cast<unsigned>(end.month)},
                              day{static_cast<unsigned>(end.day)}};
    if (!date.ok() || end.hour > 23 || end.minute > 59) return std::nullopt;
    return UtcOfFields(FieldSeconds(end), clock.Now().utcOffsetSeconds, clock);
}

std::string PausedLine(const LocalDateTime& end) {
    return "暂停到 " + HourMinute(end);
}

namespace {

// Said as what the user is doing: the held ones wait for it to end.
constexpr std::array<std::string_view, kDesktopSignals> kBusyWith{"锁屏", "免打扰", "演示", "通话"};

std::string_view BusyWith(DesktopSignal signal) {
    return kBusyWith[static_cast<std::size_t>(signal)];
}

}  // namespace

std::string HeldLine(const LocalDateTime& moment, DesktopSignal why) {
    return HourMinute(moment) + " 的报时等" + std::string(BusyWith(why)) + "结束";
}

std::string SkippedLine(const LocalDateTime& moment, DesktopSignal why) {
    return HourMinute(moment) + " 的报时因" + std::string(BusyWith(why)) + "未报";
}

}  // namespace tolvane
