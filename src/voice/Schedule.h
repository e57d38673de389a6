#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <set>

#include "base/Clock.h"

namespace tolvane {

// When scheduled announcements speak.
struct AnnouncementPlan {
    std::int32_t frequency = 0;  // index into frequencyHours
    std::array<std::int32_t, 3> frequencyHours{1, 2, 6};
    bool halfHour = false;  // also at hh:30:00 of every hour
    // The quiet span in minutes of the day, from its start up to (not including) its end,
    // across midnight when the end comes first. Equal or out-of-range times make none.
    int quietStart = -1;
    int quietEnd = -1;
};

inline constexpr int kMinutesPerDay = 24 * 60;

bool IsQuietMinute(int minuteOfDay, int quietStart, int quietEnd);

// Whether a tick at this time of day starts a scheduled announcement: second 0 of minute 0 of
// an hour the chosen interval divides, or of minute 30 of any hour with halfHour, outside the
// quiet span. A Frequency without an interval counts as hourly.
bool IsAnnouncementDue(int hour, int minute, int second, const AnnouncementPlan& plan);

// The tick lands this many milliseconds after a second boundary, so that a late or early
// platform timer still sees each second exactly once.
inline constexpr int kTickOffsetMs = 5;

// Delay from a tick at `millisecond` past the second to the next aligned tick.
int MillisecondsToNextTick(int millisecond);

// A scheduled moment's sound device is opened this long before the moment, so that its first
// sample is heard on the moment rather than after the tick, the reading of the clips and the
// device's own latency.
inline constexpr int kPrimeLeadMs = 500;

// A moment the clock stepped over (a synchronisation, a manual change, a wake-up) or a tick
// came late for is still announced while it is less than this old.
inline constexpr int kLateLimitSeconds = 60;

// Evaluates ticks of the announcement timer. Moments are instants: each is spoken at most
// once in a run, so a clock set back never says one twice, while the hour an autumn night
// repeats on the wall clock is a new instant and is spoken. Each second is looked at once (an
// early tick repeats none).
class AnnouncementSchedule {
public:
    // The moment (second 0 of its minute) this tick announces: its own second's, or one in
    // the seconds since the last tick that is less than kLateLimitSeconds old. A first tick
    // looks at its own second only.
    std::optional<LocalDateTime> OnTick(const LocalDateTime& now, const AnnouncementPlan& plan);
    // The moment `next` (the wall clock's fields at the coming whole second) when it is due and
    // not spoken yet, taken now so that its sound can be made ready before it comes; the tick
    // at that second then finds it spoken.
    std::optional<LocalDateTime> Upcoming(const LocalDateTime& next, const AnnouncementPlan& plan);
    // Switched on again: the time it was off is no clock step to make up for, while the
    // moments already spoken stay spoken.
    void Restart() { m_lastSecond.reset(); }

private:
    void MarkSpoken(std::int64_t minuteStart);

    std::optional<std::int64_t> m_lastSecond;  // UTC, as every instant here
    std::set<std::int64_t> m_spoken;
};

}  // namespace tolvane
