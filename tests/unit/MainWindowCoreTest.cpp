#include "app/MainWindowCore.h"

#include <gtest/gtest.h>

#include <functional>

#include "fakes/CoreRig.h"

namespace tolvane::testing {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;
using fakes::CoreRig;

TEST(MainWindowCore, LoadReadsValueIniBesideTheProgramAndWritesNothing) {
    CoreRig rig(ProgramFolder{"C:\\Apps\\T", '\\'});
    rig.profiles.files["C:\\Apps\\T\\Value.ini"] = "[Tolvane]\r\n关闭报时=1\r\n自动校时=2\r\n";
    rig.core.Form_Load();
    EXPECT_EQ(rig.core.State(), (ShellState{true, false, false, true}));
    EXPECT_EQ(rig.core.Vars().ConfigFile.FilePath(), "C:\\Apps\\T\\Value.ini");
    EXPECT_EQ(rig.profiles.CountOf("WriteString"), 0);
    for (const auto& call : rig.profiles.calls) EXPECT_EQ(call.file, "C:\\Apps\\T\\Value.ini");
}

TEST(MainWindowCore, StartUpOrderAndTheTimersItArms) {
    const std::string boot = "SetTimer Timer_更新托盘显示时间 1000";
    const std::string upgrade = "SetTimer Timer_自动升级 2000";
    const std::string announce = "SetTimer Timer_自动报时 " + std::to_string(270 + kTickOffsetMs);
    const std::string sync = "SetTimer Timer_自动校时 1000";
    const struct {
        const char* what;
        ProgramFolder folder;
        const char* ini;
        Strings log;
    } rows[] = {
        {"defaults",
         {"C:\\T", '\\'},
         nullptr,
         {boot, upgrade, announce, sync, "SetMenuChecks 00", "SetCurrentFolder C:\\T", "HideMain",
          "ShowTrayIcon"}},
        {"announcements off",
         {"/opt/t", '/'},
         "[Tolvane]\n关闭报时=1\n",
         {boot, upgrade, sync, "SetMenuChecks 10", "SetCurrentFolder /opt/t", "HideMain",
          "ShowTrayIcon"}},
        {"sync off, a hand-edited 2 leaves announcements on",
         {"C:\\T", '\\'},
         "[Tolvane]\n关闭报时=2\n自动校时=1\n",
         {boot, upgrade, announce, "SetMenuChecks 10", "SetCurrentFolder C:\\T", "HideMain",
          "ShowTrayIcon"}},
        {"no folder: no current folder",
         {"", '\\'},
         nullptr,
         {boot, upgrade, announce, sync, "SetMenuChecks 00", "HideMain", "ShowTrayIcon"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CoreRig rig(row.folder);
        if (row.ini != nullptr) rig.profiles.files[rig.Ini()] = row.ini;
        rig.clock.Set(fakes::At(2010, 7, 28, 9, 59, 58, 730));
        rig.core.Form_Load();
        EXPECT_EQ(rig.windows.log, row.log);
        const bool off = !rig.core.State().announceTimerEnabled;
        EXPECT_TRUE(rig.windows.tooltip.ends_with(off ? "9:59:58\r\n报时已关闭" : "9:59:58"));
        EXPECT_EQ(rig.windows.muted, off);
        EXPECT_TRUE(rig.profiles.files.size() <= 1u);
        EXPECT_EQ(rig.profiles.CountOf("WriteString"), 0);
    }
}

TEST(MainWindowCore, TicksSpeakOnTheHourFromTheSoundFolderArmingTheTimerFirst) {
    CoreRig rig(ProgramFolder{"/opt/tolvane", '/'});
    rig.core.Form_Load();
    rig.windows.log.clear();
    rig.clock.Set(fakes::At(2010, 7, 28, 9, 59, 59, 5));
    rig.core.OnTimer(MainTimer::Timer_自动报时);
    rig.clock.Advance(1000ms);
    rig.core.OnTimer(MainTimer::Timer_自动报时);
    const std::string arm = "SetTimer Timer_自动报时 " + std::to_string(995 + kTickOffsetMs);
    EXPECT_EQ(rig.windows.log, (Strings{arm, arm, "play 提示", "play 现在时间", "play 上午",
                                        "play 十", "play 点", "play 整"}));
    rig.clock.Advance(1000ms);
    rig.core.OnTimer(MainTimer::Timer_自动报时);
    EXPECT_EQ(rig.player.played.size(), 6u);
}

TEST(MainWindowCore, FrequencyFromTheFileChoosesTheHours) {
    CoreRig rig;
    rig.profiles.files[rig.Ini()] = "[Tolvane]\r\n报时设置=2\r\n";
    rig.core.Form_Load();
    for (int hour : {15, 18}) {
        rig.clock.Set(fakes::At(2010, 7, 28, hour, 0, 0, 5));
        rig.core.OnTimer(MainTimer::Timer_自动报时);
    }
    EXPECT_EQ(rig.Words(), (Strings{"提示", "现在时间", "下午", "六", "点", "整"}));
}

TEST(MainWindowCore, AnUnknownFolderRunsOnDefaultsWithTheAlertForEveryClip) {
    for (char separator : {'/', '\\'}) {
        CoreRig rig(ProgramFolder{"", separator});
        // What a relative or root path would find: it must stay unread.
        for (const char* file : {"Value.ini", "/Value.ini", "\\Value.ini", "./Value.ini"}) {
            rig.profiles.files[file] = "[Tolvane]\r\n格式设置=2\r\n关闭报时=1\r\n";
        }
        EXPECT_FALSE(rig.core.Folder().IsKnown());
        rig.core.Form_Load();
        EXPECT_EQ(rig.core.State(), (ShellState{false, false, true, true}));
        EXPECT_EQ(rig.core.Vars().ConfigFile.FilePath(), "");
        EXPECT_TRUE(rig.profiles.calls.empty());
        rig.core.OnMenuCommand(MenuCommand::AnnounceOff);
        EXPECT_EQ(rig.profiles.CountOf("WriteString"), 0);
        rig.core.OnMenuCommand(MenuCommand::AnnounceOff);
        rig.clock.Set(fakes::At(2010, 7, 28, 10, 0, 0, 5));
        rig.core.OnTimer(MainTimer::Timer_自动报时);
        EXPECT_EQ(rig.player.played, std::vector<std::string>(6, ""));
    }
}

TEST(ProgramFolder, JoinsNamesOnlyToAKnownFolder) {
    struct Row {
        ProgramFolder folder;
        const char* name;
        const char* joined;
    };
    const Row rows[] = {
        {{"C:\\Apps\\T", '\\'}, "Value.ini", "C:\\Apps\\T\\Value.ini"},
        {{"/opt/tolvane", '/'}, "Sound/", "/opt/tolvane/Sound/"},
        {{"", '/'}, "Value.ini", ""},
        {{"", '\\'}, "Sound\\", ""},
    };
    for (const Row& row : rows) EXPECT_EQ(row.folder.Join(row.name), row.joined) << row.name;
}

// A menu command; About's modal loop runs the commands listed after it up to "end".
constexpr MenuCommand kEnd = MenuCommand::None;

TEST(MainWindowCore, WhichCommandOpensOrBringsForwardWhichDialog) {
    using C = MenuCommand;
    const struct {
        const char* what;
        std::vector<MenuCommand> commands;  // About's loop takes the following ones, to kEnd
        Strings log;
        bool settingsOpenAfter;
        bool advert = false;
        bool settingsFail = false;
        int writes = 0;
    } rows[] = {
        {"one settings dialog at a time",
         {C::Settings, C::Settings},
         {"ShowSettings", "BringSettingsForward"},
         true},
        {"a dialog that could not be made is tried again",
         {C::Settings, C::Settings},
         {"ShowSettings", "ShowSettings"},
         false,
         false,
         true},
        {"the About box waits for itself and greys the settings dialog",
         {C::Settings, C::About, C::About, kEnd, C::Settings},
         {"ShowSettings", "DisableSettings", "RunAbout", "BringAboutForward", "AboutClosed",
          "EnableSettings", "BringSettingsForward"},
         true},
        {"settings opened under the About box start greyed",
         {C::About, C::Settings, kEnd},
         {"RunAbout", "ShowSettings disabled", "AboutClosed", "EnableSettings"},
         true},
        {"the tray's other entries work under the About box",
         {C::About, C::AnnounceOff, C::NetworkSync, kEnd},
         {"RunAbout", "KillTimer Timer_自动报时", "SetMenuChecks 10", "AboutClosed"},
         false,
         false,
         false,
         1},
        {"exit closes what is open in order, the main window last; then nothing more",
         {C::Settings, C::About, C::Exit, kEnd, C::Settings, C::About, C::AnnounceOff},
         {"ShowSettings", "DisableSettings", "RunAbout", "CloseSettings", "CloseAdvert",
          "CloseAbout", "UnloadMain", "AboutClosed"},
         false,
         true},
        {"exit with nothing open", {C::Exit}, {"UnloadMain"}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CoreRig rig;
        rig.core.Form_Load();
        if (row.advert) rig.core.OnTimer(MainTimer::Timer_自动升级);
        rig.windows.log.clear();
        rig.windows.settingsFail = row.settingsFail;
        std::size_t next = 0;
        std::function<void(bool)> run = [&](bool inAbout) {
            while (next < row.commands.size()) {
                const MenuCommand command = row.commands[next++];
                if (command == kEnd && inAbout) return;
                if (command == C::About) rig.windows.duringAbout = [&] { run(true); };
                rig.core.OnMenuCommand(command);
            }
        };
        run(false);
        EXPECT_EQ(rig.windows.log, row.log);
        EXPECT_EQ(rig.core.IsSettingsOpen(), row.settingsOpenAfter);
        EXPECT_FALSE(rig.core.IsAboutOpen());
        // Closing the advert on the way out never opens the second page.
        if (row.advert) {
            EXPECT_EQ(rig.windows.advert.actions.back(), "MoveTo 1614,1080");
        }
        EXPECT_EQ(rig.profiles.CountOf("WriteString"), row.writes);
    }
}

TEST(MainWindowCore, TimersFollowTheSwitchesAndStopAtExit) {
    const std::string arm = "SetTimer Timer_自动报时 " + std::to_string(1000 + kTickOffsetMs);
    CoreRig rig;
    rig.clock.Set(fakes::At(2026, 9, 7, 11, 59, 59, 0));
    rig.core.Form_Load();
    rig.windows.log.clear();

    rig.core.OnMenuCommand(MenuCommand::AnnounceOff);
    rig.core.OnMenuCommand(MenuCommand::AnnounceOff);
    rig.core.OnTimer(MainTimer::Timer_自动升级);
    rig.core.OnMenuCommand(MenuCommand::Settings);
    rig.windows.settings->Click(SettingsRole::HourlySyncOn);
    rig.windows.settings->Click(SettingsRole::Apply);
    rig.windows.settings->Click(SettingsRole::HourlySyncOn);
    rig.windows.settings->Click(SettingsRole::Ok);
    EXPECT_EQ(rig.windows.log,
              (Strings{"KillTimer Timer_自动报时", "SetMenuChecks 10", arm, "SetMenuChecks 00",
                       "KillTimer Timer_自动升级", "CreateAdvert", "ShowSettings",
                       "KillTimer Timer_自动校时", "SetMenuChecks 00",
                       "SetTimer Timer_自动校时 1000", "SetMenuChecks 00"}));
    EXPECT_EQ(rig.promo.log.size(), 1u);

    // An exit between two clips: the tick armed its timer before speaking, and nothing after.
    rig.windows.log.clear();
    rig.clock.Set(fakes::At(2026, 9, 7, 12, 0, 0, 5));
    rig.pump.onDispatch = [&](int dispatch) {
        if (dispatch == 3) rig.core.OnMenuCommand(MenuCommand::Exit);
    };
    rig.core.OnTimer(MainTimer::Timer_自动报时);
    rig.core.OnTimer(MainTimer::Timer_自动报时);
    rig.core.OnTrayButton(1);
    EXPECT_EQ(rig.windows.log,
              (Strings{"SetTimer Timer_自动报时 " + std::to_string(995 + kTickOffsetMs),
                       "play 提示", "play 现在时间", "CloseAdvert", "UnloadMain"}));
}

TEST(MainWindowCore, TrayButtonsSpeakOrOpenTheMenu) {
    const struct {
        int button;
        Strings log;
    } rows[] = {
        {1,
         {"play 提示", "play 现在时间", "play 下午", "play 三", "play 点", "play 四", "play 十",
          "play 五", "play 分"}},
        {2, {"PopupTrayMenu"}},
        {0, {}},
        {3, {}},
    };
    for (const auto& row : rows) {
        CoreRig rig;
        rig.clock.Set(fakes::At(2010, 7, 28, 15, 45, 0));
        rig.core.Form_Load();
        rig.windows.log.clear();
        rig.core.OnTrayButton(row.button);
        EXPECT_EQ(rig.windows.log, row.log) << row.button;
    }
}

TEST(MainWindowCore, TheAdvancedPageAppliesAtOnceAndItsPreviewSpeaksFromTheMainWindow) {
    CoreRig rig;
    rig.clock.Set(fakes::At(2010, 7, 28, 10, 29, 59, 5));
    rig.core.Form_Load();
    rig.core.OnMenuCommand(MenuCommand::Settings);
    rig.windows.settings->Click(SettingsRole::Advanced);
    AdvancedDialog& page = *rig.windows.settings->Advanced();
    page.Form_Load();
    page.Click(AdvancedRole::Phrasing, 1);
    page.Slide(*FindControl(kAdvancedDialog, "Slider_报时音量"), 40);
    rig.windows.log.clear();
    page.Click(AdvancedRole::Preview);
    // Nothing speaks inside the page's click, which may close the page while the clips play.
    EXPECT_EQ(rig.windows.log, (Strings{"SetTimer Timer_试听 0"}));
    page.Click(AdvancedRole::HalfHour);
    page.Click(AdvancedRole::Ok);
    // A second preview coming while the first speaks is dropped.
    rig.pump.onDispatch = [&](int dispatch) {
        if (dispatch == 2) rig.core.OnTimer(MainTimer::Timer_试听);
    };
    rig.core.OnTimer(MainTimer::Timer_试听);
    EXPECT_EQ(rig.Words(),
              (Strings{"提示", "现在时间", "上午", "十", "点", "二", "十", "九", "分"}));
    rig.pump.onDispatch = nullptr;
    rig.player.played.clear();
    rig.core.OnTimer(MainTimer::Timer_自动报时);
    rig.clock.Set(fakes::At(2010, 7, 28, 10, 30, 0, 5));
    rig.core.OnTimer(MainTimer::Timer_自动报时);
    EXPECT_EQ(rig.Words(), (Strings{"提示", "现在时间", "上午", "十", "点", "半"}));
    EXPECT_EQ(rig.player.volumes, std::vector<int>(15, 40));
}

}  // namespace
}  // namespace tolvane::testing
