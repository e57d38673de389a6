#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/Clock.h"
#include "base/DesktopSignals.h"

namespace tolvane {

enum class Verdict { Speak, Wait, Skip };

struct BusyVerdict {
    Verdict verdict = Verdict::Speak;
    // The signal that holds it back; none for a pause.
    std::optional<DesktopSignal> why;

    friend bool operator==(const BusyVerdict&, const BusyVerdict&) = default;
};

// What the decision looks at besides the moment and the time.
struct BusyInputs {
    SignalStates states{};
    bool quietWhenBusy = false;               // 忙碌时不报时
    std::optional<std::int64_t> pausedUntil;  // UTC seconds; scheduled moments before it skip
    int quietStart = -1;                      // the quiet span, as in AnnouncementPlan
    int quietEnd = -1;
};

// A moment full screen or the microphone holds back is spoken once they let go, while it is
// less than this old; later it is skipped.
inline constexpr int kBusyWaitLimitSeconds = 10 * 60;

// Whether a scheduled moment due at `moment` is spoken at `now`, waits, or is skipped: a pause
// skips it; with 忙碌时不报时 a lock or do-not-disturb skips it, full screen or the microphone
// holds it, and a moment that waited is not spoken inside the quiet span. The user's own
// requests (a click, the hotkey, 试听) never ask: they always speak.
BusyVerdict DecideAnnouncement(const BusyInputs& inputs, const LocalDateTime& moment,
                               const LocalDateTime& now);

// The tray menu's pause choices.
enum class PauseChoice { OneHour, UntilMorning };

// The morning a pause "到明天早上" ends at, in minutes of the day: the end of the quiet span
// when one is set, else 07:00.
int PauseMorningMinute(int quietStart, int quietEnd);

// When a pause chosen at `now` ends, in UTC seconds: an hour from the start of this minute, or
// the next morning that comes (today's, before it).
std::int64_t PauseEnd(PauseChoice choice, const LocalDateTime& now, int morningMinute,
                      Clock& clock);

// The key 暂停报时到 holds the local time a pause ends as "yyyy-mm-dd HH:MM".
inline constexpr std::string_view kPauseKey = "暂停报时到";
inline constexpr std::int32_t kPauseReadSize = 32;
std::string PauseKeyText(const LocalDateTime& end);
// The instant the key names, or nothing for a value that is not a time of that form.
std::optional<std::int64_t> ParsePauseKey(std::string_view text, Clock& clock);

// Tooltip lines: "暂停到 15:00", "15:00 的报时等演示结束", "15:00 的报时因锁屏未报".
std::string PausedLine(const LocalDateTime& end);
std::string HeldLine(const LocalDateTime& moment, DesktopSignal why);
std::string SkippedLine(const LocalDateTime& moment, DesktopSignal why);

}  // namespace tolvane
