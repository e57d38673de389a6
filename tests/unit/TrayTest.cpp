#include <gtest/gtest.h>

#include "app/MainWindowCore.h"
#include "app/TrayMenu.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeDateTimeFormatter.h"
#include "fakes/FakeLocale.h"
#include "fakes/FakeMessagePump.h"
#include "fakes/MemoryProfileStore.h"
#include "fakes/RecordingClipPlayer.h"
#include "fakes/RecordingShellWindows.h"

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
        EXPECT_EQ(TrayTooltipText(row.now, formatter), head + row.last);
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

struct Shell {
    Shell() { profiles.files[kIni] = "[Tolvane]\r\n格式设置=0\r\n"; }
    fakes::MemoryProfileStore profiles;
    fakes::FakeClock clock{At(2010, 7, 28, 15, 45, 0)};
    fakes::RecordingClipPlayer player;
    fakes::FakeMessagePump pump;
    fakes::FakeLocale locale;
    fakes::FakeDateTimeFormatter formatter;
    MainWindowCore core{ShellServices{profiles, clock, player, pump, locale, formatter},
                        ProgramFolder{"C:\\T", '\\'}};
    Strings Words() const { return player.Words("C:\\T\\Sound\\"); }
};

TEST(TrayButtons, LeftClickSpeaksNowAndOtherButtonsStaySilent) {
    Shell shell;
    shell.core.Load();
    EXPECT_EQ(shell.core.OnTrayButton(2), TrayButtonAction::ShowMenu);
    EXPECT_EQ(shell.core.OnTrayButton(3), TrayButtonAction::None);
    EXPECT_TRUE(shell.player.played.empty());
    EXPECT_EQ(shell.core.OnTrayButton(1), TrayButtonAction::Announce);
    EXPECT_EQ(shell.Words(),
              (Strings{"提示", "现在时间", "下午", "三", "点", "四", "十", "五", "分"}));
}

TEST(TrayButtons, ALeftClickDuringAnAnnouncementAddsNothing) {
    Shell shell;
    shell.core.Load();
    shell.pump.onDispatch = [&](int dispatch) {
        if (dispatch == 4) shell.core.OnTrayButton(1);
    };
    shell.core.OnTrayButton(1);
    EXPECT_EQ(shell.player.played.size(), 9u);
}

TEST(AnnounceOffCommand, TogglingTwiceRestoresMarkValueTimerAndFile) {
    Shell shell;
    shell.profiles.files[kIni] = "[Tolvane]\r\n关闭报时=0\r\n格式设置=0\r\n";
    const std::string original = shell.profiles.files[kIni];
    const ShellState before = shell.core.Load();
    EXPECT_EQ(before, (ShellState{false, false, true, true}));

    const ShellState off = shell.core.OnMenuCommand(MenuCommand::AnnounceOff);
    EXPECT_EQ(off, (ShellState{true, false, false, true}));
    EXPECT_EQ(shell.core.Vars().Settings.AnnounceOff, 1);
    EXPECT_EQ(shell.profiles.files[kIni], "[Tolvane]\r\n关闭报时=1\r\n格式设置=0\r\n");

    const ShellState on = shell.core.OnMenuCommand(MenuCommand::AnnounceOff);
    EXPECT_EQ(on, before);
    EXPECT_EQ(shell.core.Vars().Settings.AnnounceOff, 0);
    EXPECT_EQ(shell.profiles.files[kIni], original);
}

TEST(AnnounceOffCommand, FromAHandEditedTwoTheFirstClickSwitchesOn) {
    Shell shell;
    shell.profiles.files[kIni] = "[Tolvane]\r\n关闭报时=2\r\n";
    EXPECT_EQ(shell.core.Load(), (ShellState{true, false, true, true}));
    EXPECT_EQ(shell.core.OnMenuCommand(MenuCommand::AnnounceOff),
              (ShellState{false, false, true, true}));
    EXPECT_EQ(shell.profiles.files[kIni], "[Tolvane]\r\n关闭报时=0\r\n");
}

TEST(AnnounceOffCommand, AReadOnlyFileStillSwitchesForThisRun) {
    Shell shell;
    shell.profiles.readOnly[kIni] = true;
    shell.core.Load();
    EXPECT_EQ(shell.core.OnMenuCommand(MenuCommand::AnnounceOff),
              (ShellState{true, false, false, true}));
    EXPECT_EQ(shell.core.Vars().ConfigFile.ErrorMsg, "写入失败 ");
    EXPECT_EQ(shell.profiles.files[kIni], "[Tolvane]\r\n格式设置=0\r\n");
}

TEST(MenuCommands, EntriesWithoutTheirPartsYetChangeNothing) {
    for (MenuCommand command : {MenuCommand::Settings, MenuCommand::About, MenuCommand::None}) {
        Shell shell;
        const ShellState before = shell.core.Load();
        EXPECT_EQ(shell.core.OnMenuCommand(command), before);
        EXPECT_EQ(shell.profiles.CountOf("WriteString"), 0);
    }
}

TEST(ExitCommand, ClosesWhatIsOpenInOrderMainLastAndWritesNothing) {
    const struct {
        bool settings, advert, about;
        Strings expected;
    } rows[] = {
        {false, false, false, {"SetAdvertOpenPageOnClose(false)", "UnloadMain"}},
        {true, false, false, {"CloseSettings", "SetAdvertOpenPageOnClose(false)", "UnloadMain"}},
        {false, true, false, {"SetAdvertOpenPageOnClose(false)", "CloseAdvert", "UnloadMain"}},
        {false, false, true, {"SetAdvertOpenPageOnClose(false)", "CloseAbout", "UnloadMain"}},
        {true,
         true,
         true,
         {"CloseSettings", "SetAdvertOpenPageOnClose(false)", "CloseAdvert", "CloseAbout",
          "UnloadMain"}},
    };
    for (const auto& row : rows) {
        Shell shell;
        shell.core.Load();
        fakes::RecordingShellWindows windows;
        windows.settingsOpen = row.settings;
        windows.advertOpen = row.advert;
        windows.aboutOpen = row.about;
        shell.core.Exit(windows);
        EXPECT_EQ(windows.Closings(), row.expected);
        EXPECT_EQ(shell.profiles.CountOf("WriteString"), 0);
    }
}

TEST(ExitCommand, ChosenBetweenTwoClipsEndsTheAnnouncement) {
    Shell shell;
    shell.core.Load();
    fakes::RecordingShellWindows windows;
    shell.pump.onDispatch = [&](int dispatch) {
        if (dispatch == 3) shell.core.Exit(windows);
    };
    shell.core.OnTrayButton(1);
    EXPECT_EQ(shell.Words(), (Strings{"提示", "现在时间"}));
    EXPECT_EQ(windows.Closings().back(), "UnloadMain");
    shell.pump.onDispatch = nullptr;
    shell.core.OnTrayButton(1);
    EXPECT_EQ(shell.player.played.size(), 2u);
}

TEST(Tooltip, TheCoreReadsTheClockForEveryRefresh) {
    Shell shell;
    shell.core.Load();
    shell.clock.Set(At(2010, 7, 28, 23, 59, 59));
    EXPECT_TRUE(shell.core.TooltipText().ends_with("2010/7/28 23:59:59"));
    shell.clock.Advance(std::chrono::seconds(1));
    EXPECT_TRUE(shell.core.TooltipText().ends_with("报时\r\n2010/7/29"));
}

TEST(SettingsDialogOnTheMainWindow, ApplyMovesTimersAndMarksTheLogonBoxMarksAtOnce) {
    Shell shell;
    shell.core.Load();
    auto dialog = shell.core.NewSettingsDialog();
    dialog->Load();
    dialog->Click(SettingsRole::AnnounceOff);
    dialog->Click(SettingsRole::SyncTimerOff);
    EXPECT_EQ(shell.core.State(), (ShellState{false, false, true, true}));
    dialog->Click(SettingsRole::Apply);
    EXPECT_EQ(shell.core.State(), (ShellState{true, false, false, false}));
    EXPECT_EQ(shell.core.Vars().Settings.AnnounceOff, 1);

    dialog->Click(SettingsRole::StartAtBoot);
    EXPECT_EQ(shell.core.State(), (ShellState{true, true, false, false}));
    EXPECT_EQ(shell.core.Vars().Settings.StartAtBoot, 1);
    dialog->Click(SettingsRole::Cancel);
    EXPECT_FALSE(dialog->IsOpen());

    // The tray's entry starts from the mark Apply set: one choice switches announcements on.
    EXPECT_EQ(shell.core.OnMenuCommand(MenuCommand::AnnounceOff),
              (ShellState{false, true, true, false}));
    EXPECT_EQ(
        shell.profiles.files[kIni],
        "[Tolvane]\r\n格式设置=0\r\n报时设置=0\r\n广告设置=0\r\n关闭报时=0\r\n自动校时=1\r\n");
}

}  // namespace
}  // namespace tolvane::testing
