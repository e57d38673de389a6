#include "voice/Schedule.h"

#include <algorithm>
#include <chrono>

namespace tolvane {
namespace {

constexpr int kHalfPast = 30;
// A step back this far or further makes the hours it brings round new ones: the clock was
// wrong by that much, and the moment said before was not the real one.
constexpr std::int64_t kForgetAfterStepBackSeconds = 3600;

std::int64_t SecondsOf(const LocalDateTime& t) {
    using namespace std::chrono;
    const sys_days day = year_month_day{year{t.year}, month{static_cast<unsigned>(t.month)},
                                        std::chrono::day{static_cast<unsigned>(t.day)}};
    return static_cast<std::int64_t>(day.time_since_epoch().count()) * 86400 + t.hour * 3600 +
           t.minute * 60 + t.second;
}

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
    const std::int64_t second = SecondsOf(now);
    std::int64_t first = second;
    if (m_lastSecond) {
        if (*m_lastSecond == second) return std::nullopt;
        if (*m_lastSecond < second) {
            first = std::max(*m_lastSecond + 1, second - (kLateLimitSeconds - 1));
        } else if (m_lastMoment && second <= *m_lastMoment - kForgetAfterStepBackSeconds) {
            m_lastMoment.reset();
        }
    }
    m_lastSecond = second;
    // Moments lie on minute boundaries, and the seconds looked at span less than a minute.
    const std::int64_t minuteStart = second - now.second;
    if (minuteStart < first || minuteStart == m_lastMoment) return std::nullopt;
    if (!IsAnnouncementDue(now.hour, now.minute, 0, plan)) return std::nullopt;
    m_lastMoment = minuteStart;
    LocalDateTime moment = now;
    moment.second = 0;
    moment.millisecond = 0;
    return moment;
}

}  // namespace tolvane
