#include "voice/Schedule.h"

#include <algorithm>

namespace tolvane {

bool IsAnnouncementDue(int hour, int minute, int second, std::int32_t frequency,
                       const std::array<std::int32_t, 3>& frequencyHours) {
    const std::size_t index =
        (frequency >= 0 && frequency < static_cast<std::int32_t>(frequencyHours.size()))
            ? static_cast<std::size_t>(frequency)
            : 0;
    const std::int32_t interval = frequencyHours[index] > 0 ? frequencyHours[index] : 1;
    return hour % interval == 0 && minute == 0 && second == 0;
}

int MillisecondsToNextTick(int millisecond) {
    return 1000 - std::clamp(millisecond, 0, 999) + kTickOffsetMs;
}

bool AnnouncementSchedule::OnTick(const LocalDateTime& now, std::int32_t frequency,
                                  const std::array<std::int32_t, 3>& frequencyHours) {
    LocalDateTime second = now;
    second.millisecond = 0;
    if (m_lastSecond && *m_lastSecond == second) return false;
    m_lastSecond = second;
    return IsAnnouncementDue(now.hour, now.minute, now.second, frequency, frequencyHours);
}

}  // namespace tolvane
