#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "base/Clock.h"

namespace tolvane {

// Whether a tick at this time of day starts a scheduled announcement: second 0 of minute 0 of
// an hour the chosen interval divides. A Frequency without an interval counts as hourly.
bool IsAnnouncementDue(int hour, int minute, int second, std::int32_t frequency,
                       const std::array<std::int32_t, 3>& frequencyHours);

// The tick lands this many milliseconds after a second boundary, so that a late or early
// platform timer still sees each second exactly once.
inline constexpr int kTickOffsetMs = 5;

// Delay from a tick at `millisecond` past the second to the next aligned tick.
int MillisecondsToNextTick(int millisecond);

// Evaluates ticks of the announcement timer; a second already evaluated (an early tick) is
// not evaluated again.
class AnnouncementSchedule {
public:
    bool OnTick(const LocalDateTime& now, std::int32_t frequency,
                const std::array<std::int32_t, 3>& frequencyHours);

private:
    std::optional<LocalDateTime> m_lastSecond;
};

}  // namespace tolvane
