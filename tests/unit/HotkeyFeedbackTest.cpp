#include <gtest/gtest.h>

#include "app/Hotkey.h"
#include "timesync/SyncFeedback.h"

namespace tolvane::testing {
namespace {

TEST(Hotkey, StoredFormReadInAnyCaseAndWrittenCanonically) {
    // clang-format off
    const std::pair<const char*, const char*> rows[] = {
        {"Ctrl+Alt+T", "Ctrl+Alt+T"}, {" alt + CONTROL + t ", "Ctrl+Alt+T"}, {"F9", "F9"},
        {"super+shift+ctrl+9", "Ctrl+Shift+Win+9"}, {"shift+f24", "Shift+F24"}, {"Pause", "Pause"},
        {"Ctrl+Alt+pagedown", "Ctrl+Alt+PageDown"}, {"", ""}, {" \t", ""},
        // Unreadable, or a typing key that every program would lose.
        {"T", nullptr}, {"Shift+T", nullptr}, {"Space", nullptr}, {"Ctrl+Ctrl+T", nullptr},
        {"Ctrl++T", nullptr}, {"Ctrl+Alt", nullptr}, {"Ctrl+Alt+", nullptr}, {"Ctrl+F0", nullptr},
        {"Ctrl+Alt+TT", nullptr}, {"Ctrl+Alt+T+U", nullptr}, {"Hyper+T", nullptr},
        {"Ctrl+F25", nullptr}, {"Ctrl+F05", nullptr}, {"Ctrl+Alt+时", nullptr},
    };
    // clang-format on
    for (const auto& [text, canonical] : rows) {
        const std::optional<Hotkey> hotkey = ParseHotkey(text);
        ASSERT_EQ(hotkey.has_value(), canonical != nullptr) << text;
        if (!hotkey) continue;
        EXPECT_EQ(FormatHotkey(*hotkey), canonical) << text;
        EXPECT_EQ(ParseHotkey(canonical), hotkey) << text;
    }
}

TEST(SyncFeedbackText, ChangeInWholeSecondsOrWhyItFailedNamingTheServer) {
    const TimeServer other{"10.1.2.3", 2013};
    const struct {
        SyncOutcome outcome;
        std::optional<TimeServer> server;
        const char* text;
    } rows[] = {
        // clang-format off
        {{SyncResult::ClockSet, 3000}, TimeServer{}, "时间已校准，调整了 +3 秒"},
        {{SyncResult::ClockSet, -2600}, TimeServer{}, "时间已校准，调整了 -3 秒"},
        {{SyncResult::ClockSet, 0}, TimeServer{}, "时间已校准，误差不到 1 秒"},
        {{SyncResult::ClockSet, -499}, TimeServer{}, "时间已校准，误差不到 1 秒"},
        {{SyncResult::ClockSet, 500}, TimeServer{}, "时间已校准，调整了 +1 秒"},
        {{SyncResult::ClockSet, 3725000}, TimeServer{}, "时间已校准，调整了 +1 小时 2 分 5 秒"},
        {{SyncResult::ClockSet, -86400000}, TimeServer{}, "时间已校准，调整了 -1 天"},
        {{SyncResult::Refused}, TimeServer{}, "系统拒绝修改时间"},
        {{SyncResult::NoReply}, TimeServer{}, "校时失败：时间服务器 time.nist.gov 没有回应"},
        {{SyncResult::UnusableReply}, other, "校时失败：时间服务器 10.1.2.3:2013 的回复无法识别"},
        {{SyncResult::NoServer}, std::nullopt, "校时失败：Value.ini 中的“校时服务器”无法识别"},
        // clang-format on
    };
    for (const auto& row : rows) EXPECT_EQ(SyncFeedbackText(row.outcome, row.server), row.text);
}

}  // namespace
}  // namespace tolvane::testing
