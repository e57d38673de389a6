#include "voice/Schedule.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "fakes/FakeClock.h"

namespace tolvane::testing {
namespace {

using namespace std::chrono_literals;
constexpr std::array<std::int32_t, 3> kHours{1, 2, 6};

TEST(IsAnnouncementDue, OnlySecondZeroOfMinuteZeroOfAChosenHour) {
    const struct {
        int hour, minute, second, frequency;
        bool due;
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
    };
    for (const auto& row : rows) {
        EXPECT_EQ(IsAnnouncementDue(row.hour, row.minute, row.second, row.frequency, kHours),
                  row.due)
            << row.hour << ":" << row.minute << ":" << row.second << " frequency " << row.frequency;
    }
}

TEST(IsAnnouncementDue, UnfilledIntervalTableDoesNotDivideByZero) {
    EXPECT_TRUE(IsAnnouncementDue(7, 0, 0, 0, {0, 0, 0}));
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
    EXPECT_TRUE(schedule.OnTick(fakes::At(2010, 7, 28, 10, 0, 0, 5), 0, kHours));
    EXPECT_FALSE(schedule.OnTick(fakes::At(2010, 7, 28, 10, 0, 0, 998), 0, kHours));
    EXPECT_FALSE(schedule.OnTick(fakes::At(2010, 7, 28, 10, 0, 1, 5), 0, kHours));
    EXPECT_TRUE(schedule.OnTick(fakes::At(2010, 7, 28, 11, 0, 0, 900), 0, kHours));
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
        if (schedule.OnTick(now, frequency, kHours)) {
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
        announced += IsAnnouncementDue(now.hour, now.minute, now.second, 0, kHours) ? 1 : 0;
        const auto step = std::chrono::milliseconds(1000 + timer.Jitter());
        clock.Advance(step);
        elapsed += step.count();
    }
    EXPECT_LT(announced, 72);
}

}  // namespace
}  // namespace tolvane::testing
