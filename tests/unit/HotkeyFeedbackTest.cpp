#include <gtest/gtest.h>

#include "app/Hotkey.h"
#include "fakes/CoreRig.h"
#include "timesync/SyncFeedback.h"

namespace tolvane::testing {
namespace {

using Strings = std::vector<std::string>;

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

TEST(MainWindowCore, HotkeyFromTheFileAndFromThePage) {
    const struct {
        const char* what;
        const char* stored;  // 报时热键 at start; nullptr: no key
        const char* change;  // typed on the page; nullptr: nothing
        HotkeyChange result;
        const char* log;     // the hotkey calls, joined by ", "
        const char* notice;  // at start
        const char* storedAfter;
        const char* heldElsewhere = "";  // "*": no hotkeys on this desktop
    } rows[] = {
        // clang-format off
        {"none", nullptr, nullptr, HotkeyChange::Stored, "", "", ""},
        {"registered at start, replaced from the page", "ctrl+alt+t", "Win+F5", HotkeyChange::Stored,
         "RegisterHotkey Ctrl+Alt+T, UnregisterHotkey, RegisterHotkey Win+F5", "", "Win+F5"},
        {"cleared from the page", "Ctrl+Alt+T", " ", HotkeyChange::Stored,
         "RegisterHotkey Ctrl+Alt+T, UnregisterHotkey", "", ""},
        {"taken at start: told; the page may choose another", "Ctrl+Alt+T", "Ctrl+Alt+Y",
         HotkeyChange::Stored, "RegisterHotkey Ctrl+Alt+T, RegisterHotkey Ctrl+Alt+Y",
         "报时热键 Ctrl+Alt+T 已被其他程序占用", "Ctrl+Alt+Y", "Ctrl+Alt+T"},
        {"taken on the page: the old one is kept", "Ctrl+Alt+T", "ctrl+shift+s", HotkeyChange::Taken,
         "RegisterHotkey Ctrl+Alt+T, UnregisterHotkey, RegisterHotkey Ctrl+Shift+S, "
         "RegisterHotkey Ctrl+Alt+T", "", "Ctrl+Alt+T", "Ctrl+Shift+S"},
        {"unreadable in the file: told", "Ctrl+T+", nullptr, HotkeyChange::Stored, "",
         "Value.ini 中的报时热键“Ctrl+T+”无法识别", "Ctrl+T+"},
        {"unreadable on the page", nullptr, "Shift+T", HotkeyChange::Unreadable, "", "", ""},
        {"a desktop without hotkeys", "Ctrl+Alt+T", "Ctrl+Alt+Y", HotkeyChange::Unavailable,
         "RegisterHotkey Ctrl+Alt+T, RegisterHotkey Ctrl+Alt+Y", "", "Ctrl+Alt+T", "*"},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fakes::CoreRig rig;
        if (row.stored)
            rig.profiles.files[rig.Ini()] = std::string("[Tolvane]\n报时热键=") + row.stored;
        rig.windows.heldElsewhere = {row.heldElsewhere};
        if (row.heldElsewhere == std::string("*")) rig.windows.unavailableReason = "Wayland";
        rig.core.Form_Load();
        if (row.change) {
            EXPECT_EQ(rig.core.ChangeHotkey(row.change), row.result);
        }
        std::string log;
        for (const std::string& action : rig.windows.log) {
            if (action.find("Hotkey") != std::string::npos)
                log += (log.empty() ? "" : ", ") + action;
        }
        EXPECT_EQ(log, row.log);
        std::string notices;
        for (const TrayNotice& notice : rig.windows.notices) notices += notice.text;
        EXPECT_EQ(notices, row.notice);
        读写配置 file(rig.profiles);
        file.SpecifyIni(rig.Ini());
        EXPECT_EQ(file.ReadString(kSettingsSection, kHotkeyKey, 64), row.storedAfter);
    }
}

TEST(MainWindowCore, OnlySynchronisationsFromTheMenuAreReported) {
    const std::string line = "07 SEPT 2026 08:05:09\r\n";
    enum Ask { Menu, Hourly, HourlyThenMenu, MenuThenExit };
    const struct {
        const char* what;
        Ask ask;
        std::string reply;  // empty: silent until the deadline
        ClockSetResult answer;
        const char* notice;  // nullptr: none
        const char* server = nullptr;
    } rows[] = {
        // clang-format off
        {"set", Menu, line, {true, 3000}, "时间已校准，调整了 +3 秒"},
        {"refused", Menu, line, {false, 3000}, "系统拒绝修改时间"},
        {"unusable", Menu, "garbage\r\n", {}, "校时失败：时间服务器 time.nist.gov 的回复无法识别"},
        {"silent", Menu, "", {}, "校时失败：时间服务器 time.nist.gov 没有回应"},
        {"no server", Menu, "", {}, "校时失败：Value.ini 中的“校时服务器”无法识别", "x:0"},
        {"hourly", Hourly, line, {true, 3000}, nullptr},
        {"hourly, no server", Hourly, "", {}, nullptr, "x:0"},
        {"the menu during the hourly one", HourlyThenMenu, line, {true, -3000}, "时间已校准，调整了 -3 秒"},
        {"an answer after exit", MenuThenExit, line, {true, 3000}, nullptr},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fakes::CoreRig rig;
        if (row.server)
            rig.profiles.files[rig.Ini()] = "[Tolvane]\n校时服务器=" + std::string(row.server);
        rig.setter.answer = row.answer;
        rig.setter.answerAtOnce = row.ask != MenuThenExit;
        rig.core.Form_Load();
        if (row.ask == Hourly || row.ask == HourlyThenMenu) {
            for (int i = 0; i < 3601; ++i) rig.core.OnTimer(MainTimer::Timer_自动校时);
        }
        if (row.ask != Hourly) rig.core.OnMenuCommand(MenuCommand::NetworkSync);
        if (rig.socket.listener != nullptr && !rig.socket.closed) {
            row.reply.empty() ? rig.socket.Timeout() : rig.socket.Deliver(row.reply);
        }
        if (row.ask == MenuThenExit) {
            rig.core.OnMenuCommand(MenuCommand::Exit);
            for (const ClockSetDone& done : rig.setter.pending) done(row.answer);
        }
        ASSERT_EQ(rig.windows.notices.size(), row.notice ? 1u : 0u);
        if (row.notice) {
            EXPECT_EQ(rig.windows.notices[0].text, row.notice);
            EXPECT_EQ(rig.windows.notices[0].kind,
                      row.answer.set ? NoticeKind::Info : NoticeKind::Warning);
        }
    }
}

}  // namespace
}  // namespace tolvane::testing
