#include "app/MainWindowCore.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "fakes/CoreRig.h"

namespace tolvane::testing {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;
using fakes::CoreRig;

// The main window's events by name: menu commands ("off", "boot", "sync", "settings", "about",
// "exit"; those up to "end" come inside the About box's modal loop), tray buttons ("button1"),
// "hotkey", timers ("tick", "upgrade", "preview"), clicks on the open settings dialog ("syncbox",
// "apply", "ok"); "fail" makes every settings window fail. "EVENT@N" comes inside the Nth message
// dispatched from then on, while clips play.
void Do(CoreRig& rig, const std::string& event) {
    using C = MenuCommand;
    const std::pair<const char*, MenuCommand> commands[] = {
        {"off", C::AnnounceOff},   {"boot", C::StartAtBoot}, {"sync", C::NetworkSync},
        {"settings", C::Settings}, {"about", C::About},      {"exit", C::Exit}};
    for (const auto& [name, command] : commands) {
        if (event == name) rig.core.OnMenuCommand(command);
    }
    const std::pair<const char*, SettingsRole> clicks[] = {{"syncbox", SettingsRole::HourlySyncOn},
                                                           {"apply", SettingsRole::Apply},
                                                           {"ok", SettingsRole::Ok}};
    for (const auto& [name, role] : clicks) {
        if (event == name) rig.windows.settings->Click(role);
    }
    if (event.starts_with("button")) rig.core.OnTrayButton(event[6] - '0');
    if (event == "hotkey") rig.core.OnHotkey();
    if (event == "tick") rig.core.OnTimer(MainTimer::Timer_自动报时);
    if (event == "upgrade") rig.core.OnTimer(MainTimer::Timer_自动升级);
    if (event == "preview") rig.core.OnTimer(MainTimer::Timer_试听);
    if (event == "fail") rig.windows.settingsFail = true;
}

// What the shell was asked, then whether the settings dialog is open and what was written.
std::string Play(CoreRig& rig, const std::string& steps) {
    std::istringstream words(steps);
    std::function<void()> run = [&] {
        for (std::string word; words >> word && word != "end";) {
            if (const std::size_t at = word.find('@'); at != std::string::npos) {
                const int dispatch = rig.pump.dispatches + std::stoi(word.substr(at + 1));
                rig.pump.onDispatch = [&rig, dispatch, event = word.substr(0, at)](int n) {
                    if (n == dispatch) Do(rig, event);
                };
                continue;
            }
            Do(rig, word);
        }
    };
    rig.windows.duringAbout = [&] { run(); };
    run();
    std::string shown;
    for (const std::string& action : rig.windows.log) shown += (shown.empty() ? "" : ", ") + action;
    if (rig.core.IsSettingsOpen()) shown += " | settings open";
    const int writes = rig.profiles.CountOf("WriteString");
    return writes == 0 ? shown : shown + " | " + std::to_string(writes) + " writes";
}

TEST(MainWindowCore, LoadReadsValueIniBesideTheProgramAndWritesNothing) {
    CoreRig rig(ProgramFolder{"C:\\Apps\\T", '\\'});
    rig.profiles.files["C:\\Apps\\T\\Value.ini"] = "[Tolvane]\r\n关闭报时=1\r\n自动校时=2\r\n";
    rig.core.Form_Load();
    EXPECT_EQ(rig.core.State(), (ShellState{true, false, false, true}));
    EXPECT_EQ(rig.core.Vars().ConfigFile.FilePath(), "C:\\Apps\\T\\Value.ini");
    EXPECT_EQ(rig.profiles.CountOf("WriteString"), 0);
    for (const auto& call : rig.profiles.calls) EXPECT_EQ(call.file, "C:\\Apps\\T\\Value.ini");
}

// Every start arms the tooltip's and the update's timers first and ends hiding the main window
// and showing the icon; in between the rows differ.
TEST(MainWindowCore, StartUpOrderAndTheTimersItArms) {
    // clang-format off
    const struct {
        const char* what;
        ProgramFolder folder;
        const char* ini;
        const char* log;
    } rows[] = {
        {"defaults", {"C:\\T", '\\'}, nullptr, "SetTimer Timer_自动报时 275, SetTimer Timer_自动校时 1000, SetMenuChecks 00, SetCurrentFolder C:\\T"},
        {"announcements off", {"/opt/t", '/'}, "关闭报时=1\n", "SetTimer Timer_自动校时 1000, SetMenuChecks 10, SetCurrentFolder /opt/t"},
        {"sync off, a hand-edited 2 leaves announcements on", {"C:\\T", '\\'}, "关闭报时=2\n自动校时=1\n",
         "SetTimer Timer_自动报时 275, SetMenuChecks 10, SetCurrentFolder C:\\T"},
        {"no folder: no current folder", {"", '\\'}, nullptr, "SetTimer Timer_自动报时 275, SetTimer Timer_自动校时 1000, SetMenuChecks 00"},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CoreRig rig(row.folder);
        if (row.ini) rig.profiles.files[rig.Ini()] = std::string("[Tolvane]\n") + row.ini;
        rig.clock.Set(fakes::At(2010, 7, 28, 9, 59, 58, 730));
        rig.core.Form_Load();
        EXPECT_EQ(
            Play(rig, ""),
            std::string("SetTimer Timer_更新托盘显示时间 1000, SetTimer Timer_自动升级 2000, ") +
                row.log + ", HideMain, ShowTrayIcon");
        const bool off = !rig.core.State().announceTimerEnabled;
        EXPECT_TRUE(rig.windows.tooltip.ends_with(off ? "9:59:58\r\n报时已关闭" : "9:59:58"));
        EXPECT_EQ(rig.windows.muted, off);
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

TEST(MainWindowCore, WhatEachEventAsksOfTheShell) {
    const std::string noon =
        "play 提示, play 现在时间, play 下午, play 十, play 二, play 点, play 整";
    // clang-format off
    const struct {
        const char* what;
        const char* steps;
        std::string shown;
    } rows[] = {
        {"one settings dialog at a time", "settings settings", "ShowSettings, BringSettingsForward | settings open"},
        {"a dialog that could not be made is tried again", "fail settings settings", "ShowSettings, ShowSettings"},
        {"the About box waits for itself and greys the settings dialog", "settings about about end settings",
         "ShowSettings, DisableSettings, RunAbout, BringAboutForward, AboutClosed, EnableSettings, BringSettingsForward | settings open"},
        {"settings opened under the About box start greyed", "about settings end",
         "RunAbout, ShowSettings disabled, AboutClosed, EnableSettings | settings open"},
        {"the tray works under the About box", "about off sync button1 end",
         "RunAbout, KillTimer Timer_自动报时, SetMenuChecks 10, " + noon + ", AboutClosed | 1 writes"},
        {"exit closes what is open in order, the main window last; then nothing more",
         "upgrade settings about exit end settings about off button1 hotkey tick",
         "KillTimer Timer_自动升级, CreateAdvert, ShowSettings, DisableSettings, RunAbout, CloseSettings, CloseAdvert, CloseAbout, UnloadMain, AboutClosed"},
        {"exit with nothing open", "exit", "UnloadMain"},
        {"an exit between two clips ends the speech, the tick having armed its timer first",
         "exit@3 tick tick", "SetTimer Timer_自动报时 1000, play 提示, play 现在时间, UnloadMain"},
        {"announcements off and on: the timer stops and starts again", "off off",
         "KillTimer Timer_自动报时, SetMenuChecks 10, SetTimer Timer_自动报时 1000, SetMenuChecks 00 | 2 writes"},
        {"the sync box moves the sync timer when applied", "settings syncbox apply syncbox ok",
         "ShowSettings, KillTimer Timer_自动校时, SetMenuChecks 00, SetTimer Timer_自动校时 1000, SetMenuChecks 00 | 10 writes"},
        {"the left button speaks now, the right opens the menu, others nothing", "button1 button2 button0 button3",
         noon + ", PopupTrayMenu"},
        {"a click or the hotkey while speaking adds nothing", "button1@4 button1 hotkey@4 hotkey", noon + ", " + noon},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CoreRig rig;
        rig.clock.Set(fakes::At(2010, 7, 28, 12, 0, 0, 5));
        rig.core.Form_Load();
        rig.windows.log.clear();
        EXPECT_EQ(Play(rig, row.steps), row.shown);
        EXPECT_FALSE(rig.core.IsAboutOpen());
        // Closing the advert on the way out never opens the second page.
        for (const std::string& action : rig.windows.advert.actions) {
            EXPECT_FALSE(action.starts_with("OpenInBrowser"));
        }
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
    // A second preview coming while the first speaks is dropped; half past speaks at once.
    Play(rig, "preview@2 preview tick");
    rig.clock.Set(fakes::At(2010, 7, 28, 10, 30, 0, 5));
    Play(rig, "tick");
    EXPECT_EQ(rig.Words(), (Strings{"提示", "现在时间", "上午", "十", "点", "二", "十", "九", "分",
                                    "提示", "现在时间", "上午", "十", "点", "半"}));
    EXPECT_EQ(rig.player.volumes, std::vector<int>(15, 40));
}

}  // namespace
}  // namespace tolvane::testing
