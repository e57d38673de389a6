#include "app/Startup.h"

#include <gtest/gtest.h>

namespace tolvane::testing {
namespace {

struct StartupRow {
    std::int32_t announceOff;
    std::int32_t syncTimerOff;
    std::int32_t startAtBoot;
    ShellState expected;  // announce mark, boot mark, announce timer, sync timer
};

TEST(PlanStartup, MarksFollowNonZeroTimersSwitchOnlyOnZeroAndOne) {
    const StartupRow rows[] = {
        {0, 0, 0, {false, false, true, true}},  {1, 0, 0, {true, false, false, true}},
        {0, 1, 0, {false, false, true, false}}, {1, 1, 1, {true, true, false, false}},
        {2, 0, 0, {true, false, true, true}},   {0, 2, 0, {false, false, true, true}},
        {-1, -1, 0, {true, false, true, true}}, {0, 0, 1, {false, true, true, true}},
        {0, 0, 2, {false, true, true, true}},   {2147483647, 1, 0, {true, false, true, false}},
    };
    for (const StartupRow& row : rows) {
        SettingsRecord settings;
        settings.AnnounceOff = row.announceOff;
        settings.SyncTimerOff = row.syncTimerOff;
        settings.StartAtBoot = row.startAtBoot;
        EXPECT_EQ(PlanStartup(settings), row.expected)
            << "AnnounceOff=" << row.announceOff << " SyncTimerOff=" << row.syncTimerOff
            << " StartAtBoot=" << row.startAtBoot;
    }
}

TEST(TimerEnabledFor, OtherValuesKeepTheCurrentState) {
    EXPECT_TRUE(TimerEnabledFor(0, false));
    EXPECT_FALSE(TimerEnabledFor(1, true));
    EXPECT_TRUE(TimerEnabledFor(2, true));
    EXPECT_FALSE(TimerEnabledFor(2, false));
}

}  // namespace
}  // namespace tolvane::testing
