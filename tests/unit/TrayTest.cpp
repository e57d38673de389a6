#include <gtest/gtest.h>

#include "app/TrayMenu.h"
#include "fakes/CoreRig.h"

namespace tolvane::testing {
namespace {

using fakes::At;
using Strings = std::vector<std::string>;

constexpr char kIni[] = "C:\\T\\Value.ini";

TEST(TrayTooltipText, FourLinesWithDateAndTimeButNoTimeAtMidnight) {
    fakes::FakeDateTimeFormatter formatter;
    const std::string head = "Tolvane Ver:3.0.0.0\r\n鼠标右键单击：菜单\r\n鼠标左键单击：报时\r\n";
    const struct {
        LocalDateTime now;
        const char* last;
    } rows[] = {
        {At(2010, 7, 28, 10, 0, 1), "2010/7/28 10:00:01"},
        {At(2010, 7, 28, 0, 0, 0), "2010/7/28"},
        {At(2010, 7, 28, 0, 0, 1), "2010/7/28 0:00:01"},
        {At(2010, 7, 28, 0, 1, 0), "2010/7/28 0:01:00"},
        {At(2010, 7, 28, 12, 0, 0), "2010/7/28 12:00:00"},
        {At(2026, 12, 31, 23, 59, 59), "2026/12/31 23:59:59"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(TrayTooltipText(row.now, formatter, false), head + row.last);
        EXPECT_EQ(TrayTooltipText(row.now, formatter, true), head + row.last + "\r\n报时已关闭");
    }
    // The colons of the hints are full-width (U+FF1A).
    EXPECT_NE(head.find("\xEF\xBC\x9A"), std::string::npos);
}

TEST(ForTrayButton, LeftSpeaksRightOpensTheMenuOthersNothing) {
    const std::pair<int, TrayButtonAction> rows[] = {
        {1, TrayButtonAction::Announce}, {2, TrayButtonAction::ShowMenu},
        {0, TrayButtonAction::None},     {3, TrayButtonAction::None},
        {4, TrayButtonAction::None},     {-1, TrayButtonAction::None},
    };
    for (const auto& [code, action] : rows) EXPECT_EQ(ForTrayButton(code), action) << code;
}

TEST(TrayMenu, TenEntriesWithCaptionsAndSeparatorsInOrder) {
    Strings captions;
    for (const MenuEntry& entry : kTrayMenu) captions.emplace_back(entry.caption);
    EXPECT_EQ(captions, (Strings{"关闭报时[&C]", "开机启动[&R]", "-", "网络校时[&T]", "-",
                                 "参数设置[&S]", "-", "关于[&A]", "-", "退出程序[&E]"}));
    EXPECT_EQ(kTrayMenu[0].kind, MenuKind::Check);
    EXPECT_EQ(kTrayMenu[1].kind, MenuKind::Check);
    EXPECT_EQ(kTrayMenu[9].command, MenuCommand::Exit);
}

TEST(AnnounceOffCommand, TogglingTwiceRestoresMarkValueTimerAndFile) {
    fakes::CoreRig rig;
    rig.profiles.files[kIni] = "[Tolvane]\r\n关闭报时=0\r\n格式设置=0\r\n";
    const std::string original = rig.profiles.files[kIni];
    rig.core.Form_Load();
    const ShellState before = rig.core.State();
    EXPECT_EQ(before, (ShellState{false, false, true, true}));

    rig.core.OnMenuCommand(MenuCommand::AnnounceOff);
    EXPECT_EQ(rig.core.State(), (ShellState{true, false, false, true}));
    EXPECT_EQ(rig.core.Vars().Settings.AnnounceOff, 1);
    EXPECT_EQ(rig.profiles.files[kIni], "[Tolvane]\r\n关闭报时=1\r\n格式设置=0\r\n");
    EXPECT_TRUE(rig.windows.muted);
    EXPECT_TRUE(rig.windows.tooltip.ends_with("\r\n报时已关闭"));

    rig.core.OnMenuCommand(MenuCommand::AnnounceOff);
    EXPECT_FALSE(rig.windows.muted);
    EXPECT_EQ(rig.core.State(), before);
    EXPECT_EQ(rig.core.Vars().Settings.AnnounceOff, 0);
    EXPECT_EQ(rig.profiles.files[kIni], original);
}

TEST(AnnounceOffCommand, FromAHandEditedTwoTheFirstClickSwitchesOn) {
    fakes::CoreRig rig;
    rig.profiles.files[kIni] = "[Tolvane]\r\n关闭报时=2\r\n";
    rig.core.Form_Load();
    EXPECT_EQ(rig.core.State(), (ShellState{true, false, true, true}));
    // The mark says off, but the clock still speaks: the icon tells the truth.
    EXPECT_FALSE(rig.windows.muted);
    rig.core.OnMenuCommand(MenuCommand::AnnounceOff);
    EXPECT_EQ(rig.core.State(), (ShellState{false, false, true, true}));
    EXPECT_EQ(rig.profiles.files[kIni], "[Tolvane]\r\n关闭报时=0\r\n");
}

TEST(AnnounceOffCommand, AReadOnlyFileStillSwitchesForThisRun) {
    fakes::CoreRig rig;
    rig.profiles.files[kIni] = "[Tolvane]\r\n格式设置=0\r\n";
    rig.profiles.readOnly[kIni] = true;
    rig.core.Form_Load();
    rig.core.OnMenuCommand(MenuCommand::AnnounceOff);
    EXPECT_EQ(rig.core.State(), (ShellState{true, false, false, true}));
    EXPECT_EQ(rig.core.Vars().ConfigFile.ErrorMsg, "写入失败 ");
    EXPECT_EQ(rig.profiles.files[kIni], "[Tolvane]\r\n格式设置=0\r\n");
}

TEST(Tooltip, TheCoreReadsTheClockForEveryRefresh) {
    fakes::CoreRig rig;
    rig.core.Form_Load();
    rig.clock.Set(At(2010, 7, 28, 23, 59, 59));
    rig.core.OnTimer(MainTimer::Timer_更新托盘显示时间);
    EXPECT_TRUE(rig.windows.tooltip.ends_with("2010/7/28 23:59:59"));
    rig.clock.Advance(std::chrono::seconds(1));
    rig.core.OnTimer(MainTimer::Timer_更新托盘显示时间);
    EXPECT_TRUE(rig.windows.tooltip.ends_with("报时\r\n2010/7/29"));
}

TEST(SettingsDialogOnTheMainWindow, ApplyMovesTimersAndMarksTheLogonBoxMarksAtOnce) {
    fakes::CoreRig rig;
    rig.profiles.files[kIni] = "[Tolvane]\r\n格式设置=0\r\n";
    rig.core.Form_Load();
    rig.core.OnMenuCommand(MenuCommand::Settings);
    SettingsDialog& dialog = *rig.windows.settings;
    dialog.Click(SettingsRole::AnnounceOff);
    dialog.Click(SettingsRole::HourlySyncOn);
    EXPECT_EQ(rig.core.State(), (ShellState{false, false, true, true}));
    dialog.Click(SettingsRole::Apply);
    EXPECT_EQ(rig.core.State(), (ShellState{true, false, false, false}));
    EXPECT_TRUE(rig.windows.muted);
    EXPECT_EQ(rig.core.Vars().Settings.AnnounceOff, 1);

    dialog.Click(SettingsRole::StartAtBoot);
    EXPECT_EQ(rig.core.State(), (ShellState{true, true, false, false}));
    EXPECT_EQ(rig.core.Vars().Settings.StartAtBoot, 1);
    dialog.Click(SettingsRole::Cancel);
    EXPECT_FALSE(rig.core.IsSettingsOpen());

    // The tray's entry starts from the mark Apply set: one choice switches announcements on.
    rig.core.OnMenuCommand(MenuCommand::AnnounceOff);
    EXPECT_EQ(rig.core.State(), (ShellState{false, true, true, false}));
    EXPECT_EQ(
        rig.profiles.files[kIni],
        "[Tolvane]\r\n格式设置=0\r\n报时设置=0\r\n广告设置=0\r\n关闭报时=0\r\n自动校时=1\r\n");
}

}  // namespace
}  // namespace tolvane::testing
