#include "voice/Schedule.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <tuple>

#include "fakes/FakeClock.h"

namespace tolvane::testing {
namespace {

using namespace std::chrono_literals;
constexpr std::array<std::int32_t, 3> kHours{1, 2, 6};

AnnouncementPlan Every(int frequency) {
    return {frequency, kHours};
}

TEST(IsAnnouncementDue, OnlySecondZeroOfMinuteZeroOfAChosenHour) {
    const struct {
        int hour, minute, second, frequency;
        bool due;
        bool halfHour = false;
        int quietStart = -1, quietEnd = -1;
    } rows[] = {
        // midnight for every frequency
        {0, 0, 0, 0, true},
        {0, 0, 0, 1, true},
        {0, 0, 0, 2, true},
        // six-hourly: 12 and 18 yes, 15 no
        {12, 0, 0, 2, true},
        {18, 0, 0, 2, true},
        {15, 0, 0, 2, false},
        {6, 0, 0, 2, true},
        // two-hourly: 14 yes, 13 no
        {14, 0, 0, 1, true},
        {13, 0, 0, 1, false},
        {22, 0, 0, 1, true},
        // hourly
        {15, 0, 0, 0, true},
        {23, 0, 0, 0, true},
        // never off the hour
        {10, 0, 1, 0, false},
        {10, 1, 0, 0, false},
        {10, 30, 0, 0, false},
        {10, 59, 59, 0, false},
        {10, 0, 1, 2, false},
        {12, 1, 0, 2, false},
        // a hand-edited Frequency counts as hourly
        {15, 0, 0, 3, true},
        {15, 0, 0, -1, true},
        {15, 0, 0, 2147483647, true},
        {15, 0, 1, 7, false},
        // half past every hour, whatever the interval; never a quarter, never second 1
        {10, 30, 0, 0, true, true},
        {11, 30, 0, 2, true, true},
        {10, 30, 0, 1, false, false},
        {10, 30, 1, 0, false, true},
        {10, 15, 0, 0, false, true},
        {13, 0, 0, 1, false, true},
        // quiet 22:00-07:00 across midnight: the start is quiet, the end speaks
        {22, 0, 0, 0, false, false, 1320, 420},
        {2, 0, 0, 1, false, false, 1320, 420},
        {0, 0, 0, 2, false, false, 1320, 420},
        {6, 30, 0, 0, false, true, 1320, 420},
        {7, 0, 0, 0, true, false, 1320, 420},
        {21, 30, 0, 0, true, true, 1320, 420},
        // quiet 10:00-10:30 within the day
        {10, 0, 0, 0, false, false, 600, 630},
        {10, 30, 0, 0, true, true, 600, 630},
        {9, 0, 0, 0, true, false, 600, 630},
        // equal times and times outside the day make no quiet span
        {3, 0, 0, 0, true, false, 600, 600},
        {23, 0, 0, 0, true, false, -1, 420},
        {23, 0, 0, 0, true, false, 1320, 1440},
        {23, 0, 0, 0, true, false, 99999, 420},
    };
    for (const auto& row : rows) {
        const AnnouncementPlan plan{row.frequency, kHours, row.halfHour, row.quietStart,
                                    row.quietEnd};
        EXPECT_EQ(IsAnnouncementDue(row.hour, row.minute, row.second, plan), row.due)
            << row.hour << ":" << row.minute << ":" << row.second << " frequency " << row.frequency
            << " half " << row.halfHour << " quiet " << row.quietStart << "-" << row.quietEnd;
    }
}

TEST(IsAnnouncementDue, UnfilledIntervalTableDoesNotDivideByZero) {
    EXPECT_TRUE(IsAnnouncementDue(7, 0, 0, AnnouncementPlan{0, {0, 0, 0}}));
}

TEST(MillisecondsToNextTick, LandsJustAfterTheNextSecond) {
    EXPECT_EQ(MillisecondsToNextTick(0), 1000 + kTickOffsetMs);
    EXPECT_EQ(MillisecondsToNextTick(kTickOffsetMs), 1000);
    EXPECT_EQ(MillisecondsToNextTick(999), 1 + kTickOffsetMs);
    EXPECT_EQ(MillisecondsToNextTick(-3), 1000 + kTickOffsetMs);
    EXPECT_EQ(MillisecondsToNextTick(5000), 1 + kTickOffsetMs);
}

TEST(AnnouncementSchedule, AnEarlyTickDoesNotEvaluateTheSameSecondTwice) {
    AnnouncementSchedule schedule;
    EXPECT_TRUE(schedule.OnTick(fakes::At(2010, 7, 28, 10, 0, 0, 5), Every(0)));
    EXPECT_FALSE(schedule.OnTick(fakes::At(2010, 7, 28, 10, 0, 0, 998), Every(0)));
    EXPECT_FALSE(schedule.OnTick(fakes::At(2010, 7, 28, 10, 0, 1, 5), Every(0)));
    EXPECT_TRUE(schedule.OnTick(fakes::At(2010, 7, 28, 11, 0, 0, 900), Every(0)));
}

// Ticks at the given times ("+" for the next day), one answer each: "-" or the moment spoken.
TEST(AnnouncementSchedule, AMomentSteppedOverIsSpokenOnceWithinAMinute) {
    const AnnouncementPlan halfHours{0, kHours, true};
    const AnnouncementPlan quietTillHalfPast{0, kHours, true, 600, 630};
    const struct {
        const char* what;
        AnnouncementPlan plan;
        const char* ticks;
        const char* spoken;
    } rows[] = {
        {"a step of 1 s", Every(0), "09:59:59 10:00:00", "- 10:00"},
        {"a step of 30 s", Every(0), "09:59:40 10:00:10", "- 10:00"},
        {"a step of 59 s", Every(0), "09:59:30 10:00:29", "- 10:00"},
        {"landing 59 s past", Every(0), "09:59:50 10:00:59", "- 10:00"},
        {"landing 60 s past", Every(0), "09:59:59 10:01:00", "- -"},
        {"a step of 61 s landing 11 s past", Every(0), "09:59:10 10:00:11", "- 10:00"},
        {"a step of 2 h: only the last moment, if recent", Every(0), "08:00:10 10:00:20",
         "- 10:00"},
        {"a step of 2 h, long past", Every(0), "08:00:10 10:05:00", "- -"},
        {"a first tick late is no step", Every(0), "10:00:30", "-"},
        {"a step back is not spoken twice", Every(0), "10:00:00 10:00:30 09:59:50 10:00:00",
         "10:00 - - -"},
        {"a step back of 2 h brings unspoken hours only", Every(0),
         "12:00:00 10:00:05 11:00:00 11:59:59 12:00:00", "12:00 - 11:00 - -"},
        {"set back 1 min", Every(0), "10:00:00 10:00:30 09:59:30 10:00:00 11:00:00",
         "10:00 - - - 11:00"},
        {"set back 35 min", Every(0), "10:00:00 10:30:05 09:55:05 10:00:00", "10:00 - - -"},
        {"set back 35 min, half hours", halfHours,
         "10:00:00 10:30:00 10:30:05 09:55:05 10:00:00 10:30:00 11:00:00",
         "10:00 10:30 - - - - 11:00"},
        {"set back 59 min", Every(0), "10:00:00 10:58:30 09:59:30 10:00:00", "10:00 - - -"},
        {"set back 59 min, half hours", halfHours,
         "10:00:00 10:30:00 10:58:30 09:59:30 10:00:00 10:30:00", "10:00 10:30 - - - -"},
        {"set back 1 h", Every(0), "10:00:00 10:59:59 09:59:59 10:00:00 11:00:00",
         "10:00 - - - 11:00"},
        {"set back 1 h, half hours", halfHours,
         "10:00:00 10:30:00 10:59:59 09:59:59 10:00:00 10:30:00 11:00:00",
         "10:00 10:30 - - - - 11:00"},
        // Europe/Berlin: S summer time (UTC+2), W winter time (UTC+1)
        {"autumn night: both 02:00s", Every(0),
         "01:59:59S 02:00:00S 02:30:00S 02:59:59S 02:00:00W 02:30:00W 03:00:00W",
         "- 02:00 - - 02:00 - 03:00"},
        {"autumn night, half hours", halfHours,
         "01:59:59S 02:00:00S 02:30:00S 02:59:59S 02:00:00W 02:30:00W 03:00:00W",
         "- 02:00 02:30 - 02:00 02:30 03:00"},
        {"spring night: 03:00 once", Every(0), "01:59:59W 03:00:00S 03:30:00S 04:00:00S",
         "- 03:00 - 04:00"},
        {"spring night, half hours", halfHours, "01:30:00W 01:59:59W 03:00:00S 03:30:00S",
         "01:30 - 03:00 03:30"},
        {"two steps forward", Every(0), "09:59:40 10:00:30 10:00:50", "- 10:00 -"},
        {"two steps, the second over the hour", Every(0), "09:59:40 09:59:50 10:00:20",
         "- - 10:00"},
        {"across midnight", Every(2), "23:59:50 +00:00:20", "- 00:00"},
        {"not an hour of the interval", Every(2), "12:59:40 13:00:10", "- -"},
        {"half past", halfHours, "10:29:30 10:30:20", "- 10:30"},
        {"over half past to the hour", halfHours, "09:29:40 10:00:10", "- 10:00"},
        {"quiet at the hour", quietTillHalfPast, "09:59:40 10:00:30", "- -"},
        {"the quiet span's end speaks", quietTillHalfPast, "10:29:50 10:30:10", "- 10:30"},
        // "^": the coming second looked at ahead, as the device is made ready before it
        {"ahead, then its own tick", Every(0), "09:59:59 ^10:00:00 10:00:00 10:00:01",
         "- 10:00 - -"},
        {"ahead of no moment", Every(0), "09:59:58 ^09:59:59 ^10:00:01", "- - -"},
        {"ahead of a quiet hour", quietTillHalfPast, "^10:00:00 10:00:00", "- -"},
        {"ahead of an hour spoken before a set-back", Every(0), "10:00:00 09:59:59 ^10:00:00",
         "10:00 - -"},
        {"ahead on the spring night: the coming second is 03:00", Every(0),
         "01:59:59W ^03:00:00S 03:00:00S", "- 03:00 -"},
    };
    for (const auto& row : rows) {
        AnnouncementSchedule schedule;
        std::istringstream ticks(row.ticks);
        std::string spoken;
        for (std::string tick; ticks >> tick;) {
            const bool nextDay = tick[0] == '+';
            const bool ahead = tick[0] == '^';
            int hour = 0, minute = 0, second = 0;
            std::sscanf(tick.c_str() + (nextDay || ahead), "%d:%d:%d", &hour, &minute, &second);
            LocalDateTime now = fakes::At(2010, 7, 28 + nextDay, hour, minute, second, ahead ? 0 : 5);
            now.utcOffsetSeconds = tick.back() == 'S' ? 7200 : tick.back() == 'W' ? 3600 : 0;
            const auto moment =
                ahead ? schedule.Upcoming(now, row.plan) : schedule.OnTick(now, row.plan);
            char text[8] = "-";
            if (moment) {
                std::snprintf(text, sizeof text, "%02d:%02d", moment->hour, moment->minute);
                EXPECT_EQ(moment->second + moment->millisecond, 0) << row.what;
            }
            spoken += (spoken.empty() ? "" : " ") + std::string(text);
        }
        EXPECT_EQ(spoken, row.spoken) << row.what;
    }
}

// A platform timer that fires `delay` after it is armed, off by a deterministic jitter.
class JitteryTimer {
public:
    JitteryTimer(int earliest, int latest) : m_earliest(earliest), m_latest(latest) {}
    int Jitter() {
        m_state = m_state * 6364136223846793005ull + 1442695040888963407ull;
        return m_earliest + static_cast<int>((m_state >> 33) % (m_latest - m_earliest + 1));
    }

private:
    int m_earliest;
    int m_latest;
    unsigned long long m_state = 42;
};

using HourKey = std::tuple<int, int, int, int>;

struct Simulation {
    std::map<HourKey, int> announced;
    int dueHours = 0;
};

// Runs the aligned, re-armed tick over `days` days. An announcement blocks the thread for
// `speakingMs`; the timer was re-armed before it, so the next tick comes once it returns.
Simulation RunAligned(int frequency, int days, int earliest, int latest, int speakingMs) {
    fakes::FakeClock clock(fakes::At(2010, 7, 28, 0, 0, 1, 317));
    JitteryTimer timer(earliest, latest);
    AnnouncementSchedule schedule;
    Simulation result;
    const auto end = std::chrono::milliseconds(static_cast<long long>(days) * 86400000);
    std::chrono::milliseconds elapsed{0};
    while (elapsed < end) {
        const LocalDateTime now = clock.Now();
        const int delay = MillisecondsToNextTick(now.millisecond);
        std::chrono::milliseconds busy{0};
        if (schedule.OnTick(now, Every(frequency))) {
            ++result.announced[{now.year, now.month, now.day, now.hour}];
            busy = std::chrono::milliseconds(speakingMs);
        }
        const auto next =
            std::max<std::chrono::milliseconds>(std::chrono::milliseconds(delay), busy) +
            std::chrono::milliseconds(timer.Jitter());
        clock.Advance(next);
        elapsed += next;
    }
    result.dueHours = days * 24 / kHours[static_cast<std::size_t>(frequency)];
    return result;
}

TEST(AlignedTick, AnnouncesEveryDueHourExactlyOnceOverDaysOfJitter) {
    const struct {
        int frequency;
        int earliest, latest, speakingMs;
    } rows[] = {
        {0, 0, 40, 0},      {1, 0, 40, 0},      {2, 0, 40, 0},  {0, -4, 200, 0},
        {0, -4, 200, 6500}, {2, -4, 200, 6500}, {0, 0, 900, 0}, {1, -4, 600, 12000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << "frequency " << row.frequency << " jitter " << row.earliest << ".."
                     << row.latest << " speaking " << row.speakingMs);
        const Simulation sim =
            RunAligned(row.frequency, 3, row.earliest, row.latest, row.speakingMs);
        EXPECT_EQ(static_cast<int>(sim.announced.size()), sim.dueHours);
        for (const auto& [hour, count] : sim.announced) {
            EXPECT_EQ(count, 1);
            EXPECT_EQ(std::get<3>(hour) % kHours[static_cast<std::size_t>(row.frequency)], 0);
        }
    }
}

TEST(AlignedTick, AFreeRunningTimerWouldMissHours) {
    // The same jitter on a plain 1000 ms interval drifts past whole seconds.
    fakes::FakeClock clock(fakes::At(2010, 7, 28, 0, 0, 1, 317));
    JitteryTimer timer(0, 200);
    int announced = 0;
    for (long long elapsed = 0; elapsed < 3LL * 86400000;) {
        const LocalDateTime now = clock.Now();
        announced += IsAnnouncementDue(now.hour, now.minute, now.second, Every(0)) ? 1 : 0;
        const auto step = std::chrono::milliseconds(1000 + timer.Jitter());
        clock.Advance(step);
        elapsed += step.count();
    }
    EXPECT_LT(announced, 72);
}

}  // namespace
}  // namespace tolvane::testing
