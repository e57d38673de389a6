#include "voice/Schedule.h"

#include <algorithm>

namespace tolvane {
namespace {

constexpr int kHalfPast = 30;
// Two moments an hour for 85 days: a clock set back further than that may repeat one.
constexpr std::size_t kRememberedMoments = 4096;

bool IsMinuteOfDay(int minute) {
    return minute >= 0 && minute < kMinutesPerDay;
}

}  // namespace

bool IsQuietMinute(int minuteOfDay, int quietStart, int quietEnd) {
    if (!IsMinuteOfDay(quietStart) || !IsMinuteOfDay(quietEnd) || quietStart == quietEnd) {
        return false;
    }
    if (quietStart < quietEnd) return minuteOfDay >= quietStart && minuteOfDay < quietEnd;
    return minuteOfDay >= quietStart || minuteOfDay < quietEnd;
}

bool IsAnnouncementDue(int hour, int minute, int second, const AnnouncementPlan& plan) {
    const auto& hours = plan.frequencyHours;
    const std::size_t index =
        (plan.frequency >= 0 && plan.frequency < static_cast<std::int32_t>(hours.size()))
            ? static_cast<std::size_t>(plan.frequency)
            : 0;
    const std::int32_t interval = hours[index] > 0 ? hours[index] : 1;
    const bool moment = second == 0 && ((minute == 0 && hour % interval == 0) ||
                                        (minute == kHalfPast && plan.halfHour));
    return moment && !IsQuietMinute(hour * 60 + minute, plan.quietStart, plan.quietEnd);
}

int MillisecondsToNextTick(int millisecond) {
    return 1000 - std::clamp(millisecond, 0, 999) + kTickOffsetMs;
}

std::optional<LocalDateTime> AnnouncementSchedule::OnTick(const LocalDateTime& now,
                                                          const AnnouncementPlan& plan) {
    const std::int64_t second = UtcSeconds(now);
    std::int64_t first = second;
    if (m_lastSecond) {
        if (*m_lastSecond == second) return std::nullopt;
        if (*m_lastSecond < second) {
            first = std::max(*m_lastSecond + 1, second - (kLateLimitSeconds - 1));
        }
    }
    m_lastSecond = second;
    // Moments lie on minute boundaries, and the seconds looked at span less than a minute.
    const std::int64_t minuteStart = second - now.second;
    if (minuteStart < first || m_spoken.contains(minuteStart)) return std::nullopt;
    if (!IsAnnouncementDue(now.hour, now.minute, 0, plan)) return std::nullopt;
    MarkSpoken(minuteStart);
    LocalDateTime moment = now;
    moment.second = 0;
    moment.millisecond = 0;
    return moment;
}

std::optional<LocalDateTime> AnnouncementSchedule::Upcoming(const LocalDateTime& next,
                                                            const AnnouncementPlan& plan) {
    const std::int64_t second = UtcSeconds(next);
    if (m_spoken.contains(second) ||
        !IsAnnouncementDue(next.hour, next.minute, next.second, plan)) {
        return std::nullopt;
    }
    MarkSpoken(second);
    LocalDateTime moment = next;
    moment.millisecond = 0;
    return moment;
}

void AnnouncementSchedule::MarkSpoken(std::int64_t minuteStart) {
    m_spoken.insert(minuteStart);
    if (m_spoken.size() > kRememberedMoments) m_spoken.erase(m_spoken.begin());
}

}  // namespace tolvane
