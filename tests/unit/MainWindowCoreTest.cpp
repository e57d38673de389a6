#include "app/MainWindowCore.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "autostart/StartAtBoot.h"
#include "fakes/CoreRig.h"

namespace tolvane::testing {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;
using fakes::CoreRig;

// One event of the main window by name (menu commands, tray buttons, timers, clicks on the
// settings dialog and its 高级设置 page, the time server's and the system's answers) or a
// condition set up. Those that count at start come before "load", which leaves out the start's
// calls up to the tray icon (see the start-up table). "at=10:00:00" sets the clock 5 ms past
// that second (12:00:00 at first); "about" runs the events up to "end" inside its modal loop;
// "EVENT@N" comes inside the Nth message dispatched from then on, while clips play.
void Do(CoreRig& rig, const std::string& event) {
    using C = MenuCommand;
    const std::pair<const char*, MenuCommand> commands[] = {
        {"off", C::AnnounceOff},   {"boot", C::StartAtBoot},    {"sync", C::NetworkSync},
        {"settings", C::Settings}, {"about", C::About},         {"exit", C::Exit},
        {"pause1", C::PauseHour},  {"pausem", C::PauseMorning}, {"resume", C::Resume}};
    for (const auto& [name, command] : commands) {
        if (event == name) rig.core.OnMenuCommand(command);
    }
    using R = SettingsRole;
    const std::pair<const char*, SettingsRole> clicks[] = {{"offbox", R::AnnounceOff},
                                                           {"bootbox", R::StartAtBoot},
                                                           {"syncbox", R::HourlySyncOn},
                                                           {"apply", R::Apply},
                                                           {"ok", R::Ok},
                                                           {"cancel", R::Cancel},
                                                           {"dlgsync", R::TimeSync},
                                                           {"dlgabout", R::About},
                                                           {"dlgexit", R::Exit}};
    for (const auto& [name, role] : clicks) {
        if (event == name) rig.windows.settings->Click(role);
    }
    using A = AdvancedRole;
    const std::pair<const char*, AdvancedRole> pageClicks[] = {
        {"half", A::HalfHour}, {"try", A::Preview}, {"pageok", A::Ok}};
    for (const auto& [name, role] : pageClicks) {
        if (event == name) rig.windows.settings->Advanced()->Click(role);
    }
    const std::string value = event.substr(event.find('=') + 1);
    const std::pair<std::string, std::string> run{std::string(kRunKeyPath), "Kestrune"};
    if (event == "adv") {
        rig.windows.settings->Click(SettingsRole::Advanced);
        rig.windows.settings->Advanced()->Form_Load();
    }
    if (event == "field") {
        const ControlSpec& field = *FindControl(kAdvancedDialog, "Text_报时热键");
        const AdvancedDialog& page = *rig.windows.settings->Advanced();
        rig.windows.Do("field " + page.Text(field) + (page.Enabled(field) ? "" : " greyed"));
    }
    if (event == "say1") rig.windows.settings->Advanced()->Click(AdvancedRole::Phrasing, 1);
    if (event.starts_with("vol=")) {
        rig.windows.settings->Advanced()->Slide(*FindControl(kAdvancedDialog, "Slider_报时音量"),
                                                std::stoi(value));
    }
    if (event == "load") {
        rig.core.Form_Load();
        std::vector<std::string>& log = rig.windows.log;
        log.erase(log.begin(), std::find(log.begin(), log.end(), "ShowTrayIcon") + 1);
    }
    if (event.starts_with("button")) rig.core.OnTrayButton(event[6] - '0');
    if (event == "hotkey") rig.core.OnHotkey();
    if (event == "again") rig.core.OnStartedAgain();
    if (event == "tick") rig.core.OnTimer(MainTimer::Timer_自动报时);
    if (event.starts_with("at=") || event.starts_with("tick=")) {
        const std::size_t dot = value.find('.');
        rig.clock.Set(fakes::At(2010, 7, 28, std::stoi(value.substr(0, 2)),
                                std::stoi(value.substr(3, 2)), std::stoi(value.substr(6)),
                                dot == std::string::npos ? 5 : std::stoi(value.substr(dot + 1))));
    }
    if (event.starts_with("tick=")) rig.core.OnTimer(MainTimer::Timer_自动报时);
    if (event == "keydown" || event == "keyup") rig.windows.hotkeyDown = event == "keydown";
    if (event == "upgrade") rig.core.OnTimer(MainTimer::Timer_自动升级);
    if (event == "preview") rig.core.OnTimer(MainTimer::Timer_试听);
    if (event == "broken") rig.player.files["C:\\T\\Sound\\十.wav"] = "RIFF";
    for (int i = 0; event == "hourly" && i < 3601; ++i) rig.core.OnTimer(MainTimer::Timer_自动校时);
    if (event.starts_with("key="))
        rig.windows.Do(std::string(HotkeyChangeMessage(rig.core.ChangeHotkey(value))));
    if (event == "reply") rig.socket.Deliver("07 SEPT 2026 08:05:09\r\n");
    if (event == "garbage") rig.socket.Deliver("garbage\r\n");
    if (event == "timeout") rig.socket.Timeout();
    if (event.starts_with("moved=")) rig.setter.answer = {true, std::stoi(value)};
    if (event == "refused") rig.setter.answer = {false, 0};
    using Refusal = ClockRefusal;
    const std::pair<const char*, Refusal> refusals[] = {{"noright", Refusal::NoRight},
                                                        {"auto", Refusal::AutomaticSync},
                                                        {"noservice", Refusal::NoService},
                                                        {"noanswer", Refusal::NoAnswer}};
    for (const auto& [name, refusal] : refusals) {
        if (event == name) rig.setter.answer = {false, rig.setter.answer.movedMs, refusal};
    }
    if (event == "declined") rig.setter.elevatedAnswer = {false, 0, Refusal::Declined};
    if (event == "ntp") rig.setter.systemSync = SystemTimeSync::Synchronised;
    if (event == "ntpwait") rig.setter.systemSync = SystemTimeSync::NotYetSynchronised;
    if (event == "notfound") rig.socket.NameNotFound();
    if (event == "click") rig.core.OnNoticeClicked();
    if (event == "tip") rig.core.OnTimer(MainTimer::Timer_更新托盘显示时间);
    if (event == "count") {
        rig.windows.Do("connections " + std::to_string(rig.socket.connections.size()) +
                       ", settings " + std::to_string(rig.setter.settings.size()));
    }
    if (event == "late") rig.setter.answerAtOnce = false;
    if (event == "answers") {
        for (const ClockSetDone& done : rig.setter.pending) done(rig.setter.answer);
    }
    if (event == "fail") rig.windows.settingsFail = true;
    const char* signals[] = {"locked", "dnd", "full", "mic"};
    for (std::size_t i = 0; i < kDesktopSignals; ++i) {
        if (event == signals[i]) rig.signals[i].state = SignalState::On;
        if (event == "free") rig.signals[i].state = SignalState::Off;
    }
    if (event == "registered") rig.store.values[run] = {kRegSz, "\"C:\\T\\Tolvane.exe\""};
    if (event == "stale") rig.store.values[run] = {kRegSz, "\"C:\\Old\\Tolvane.exe\""};
    if (event == "refusing") rig.store.refuse = true;
    if (event == "nohotkeys") rig.windows.unavailableReason = "Wayland";
    if (event == "readonly") rig.profiles.readOnly[rig.Ini()] = true;
    if (event == "packs") {
        rig.folders.AddPack("C:\\T\\Sound\\", {"十点"});
        rig.folders.AddPack("C:\\T\\Sound\\女声\\", {"十点", "十点整"});
    }
    if (event == "lost") std::erase(rig.folders.folders["C:\\T\\Sound\\女声\\"], "三");
}

// What the shell was asked, with the clips played; then whether the settings dialog is open,
// Value.ini after any writes, and what was written to or deleted from the logon store.
std::string Play(CoreRig& rig, const std::string& steps) {
    std::istringstream words(steps);
    std::function<void()> run = [&] {
        for (std::string word; words >> word && word != "end";) {
            // "x@N": x at the Nth tick of the next announcement's device.
            if (const std::size_t at = word.find('@'); at != std::string::npos) {
                rig.player.beforeTick = [&rig, tick = std::stoi(word.substr(at + 1)),
                                         event = word.substr(0, at)](int n) {
                    if (n == tick) Do(rig, event);
                };
                continue;
            }
            Do(rig, word);
            // Whatever it started is heard to its end before the next step.
            if (rig.player.PlayOut() > 0) rig.player.beforeTick = nullptr;
        }
    };
    rig.windows.duringAbout = [&] { run(); };
    run();
    const auto join = [](const std::vector<std::string>& lines) {
        std::string joined;
        for (const std::string& line : lines) {
            if (!line.empty() && line != "[Tolvane]" && !line.starts_with("Get "))
                joined += (joined.empty() ? "" : ", ") + line;
        }
        return joined;
    };
    std::string shown = join(rig.windows.log);
    if (rig.core.IsSettingsOpen()) shown += " | settings open";
    for (std::int64_t offset : rig.setter.elevated)
        shown += " | elevated " + std::to_string(offset);
    if (rig.profiles.CountOf("WriteString") > 0) {
        std::vector<std::string> lines;
        std::istringstream file(rig.profiles.files[rig.Ini()]);
        for (std::string line; std::getline(file, line);)
            lines.push_back(line.substr(0, line.find('\r')));
        shown += " | Value.ini " + join(lines);
    }
    const std::string store = join(rig.store.calls);
    return store.empty() ? shown : shown + " | " + store;
}

// Every start arms the tooltip's and the update's timers first and ends showing the icon; it
// reads Value.ini beside the program only, where a relative or root path would find another.
TEST(MainWindowCore, StartUpOrderAndTheTimersItArms) {
    // clang-format off
    const struct {
        const char* what;
        ProgramFolder folder;
        const char* ini;
        const char* log;
    } rows[] = {
        {"defaults", {"C:\\T", '\\'}, nullptr,
         "SetTimer Timer_自动报时 275, SetTimer Timer_自动校时 1000, SetMenuChecks 00, SetTrayTooltip 2010/7/28 9:59:58, SetCurrentFolder C:\\T, HideMain, SetTrayIconMuted 0"},
        {"announcements off", {"/opt/t", '/'}, "[Tolvane]\n关闭报时=1\n自动校时=2\n",
         "SetTimer Timer_自动校时 1000, SetMenuChecks 10, SetTrayTooltip 报时已关闭, SetCurrentFolder /opt/t, HideMain, SetTrayIconMuted 1"},
        {"sync off, a hand-edited 2 leaves announcements on", {"C:\\T", '\\'}, "[Tolvane]\r\n关闭报时=2\r\n自动校时=1\r\n",
         "SetTimer Timer_自动报时 275, SetMenuChecks 10, SetTrayTooltip 2010/7/28 9:59:58, SetCurrentFolder C:\\T, HideMain, SetTrayIconMuted 0"},
        {"no folder: defaults, and no current folder", {"", '/'}, nullptr,
         "SetTimer Timer_自动报时 275, SetTimer Timer_自动校时 1000, SetMenuChecks 00, SetTrayTooltip 2010/7/28 9:59:58, HideMain, SetTrayIconMuted 0"},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CoreRig rig(row.folder);
        for (const char* file : {"Value.ini", "/Value.ini", "\\Value.ini", "./Value.ini"}) {
            rig.profiles.files[file] = "[Tolvane]\r\n格式设置=2\r\n关闭报时=1\r\n";
        }
        if (row.ini) rig.profiles.files[rig.Ini()] = row.ini;
        rig.clock.Set(fakes::At(2010, 7, 28, 9, 59, 58, 730));
        rig.core.Form_Load();
        EXPECT_EQ(
            Play(rig, ""),
            std::string("SetTimer Timer_更新托盘显示时间 1000, SetTimer Timer_自动升级 2000, ") +
                row.log + ", ShowTrayIcon");
        for (const auto& call : rig.profiles.calls) {
            EXPECT_TRUE(rig.core.Folder().IsKnown() && call.file == rig.Ini()) << call.file;
        }
    }
}

TEST(MainWindowCore, AnUnknownFolderWritesNothingAndPlaysTheAlertForEveryClip) {
    for (char separator : {'/', '\\'}) {
        CoreRig rig(ProgramFolder{"", separator});
        rig.clock.Set(fakes::At(2010, 7, 28, 10, 0, 0, 5));
        Play(rig, "load off off tick");
        EXPECT_TRUE(rig.profiles.calls.empty());
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

// Value.ini's lines are written with blanks between them; nullptr: no file. Unless the steps
// say when, the program starts first.
TEST(MainWindowCore, WhatEachEventAsksOfTheShell) {
    const std::string noon =
        "play 提示, play 现在时间, play 下午, play 十, play 二, play 点, play 整";
    const std::string on = "SetTrayIconMuted 0, SetTrayTooltip 2010/7/28 12:00:00";
    const std::string off = "SetTrayIconMuted 1, SetTrayTooltip 报时已关闭";
    const std::string set = "Notice 网络校时: 时间已校准，";
    const std::string failed = "Warning 网络校时: 校时失败：";
    const std::string unplayable = "Warning 声音: 无法播放，已用提示音代替：十.wav";
    const std::string differs = "与时间服务器相差 ";
    const std::string offer = "Warning 网络校时: 需要管理员权限才能修改时间，" + differs;
    const std::string take = "。点击此通知或再次选择“网络校时”，即以管理员身份校时";
    const std::string registered = "Set Kestrune=\"C:\\T\\Tolvane.exe\"";
    const std::string tick = "SetTimer Timer_自动报时 1000";
    const std::string ten = "play 提示, play 现在时间, play 上午, play 十, play 点, play 整";
    // clang-format off
    const struct {
        const char* what;
        const char* ini;
        const char* steps;
        std::string shown;
    } rows[] = {
        // the dialogs
        {"a dialog that could not be made is tried again", nullptr, "fail settings settings", "ShowSettings, ShowSettings"},
        {"one settings dialog at a time; the About box waits for itself and greys it", nullptr, "settings about about end settings",
         "ShowSettings, DisableSettings, RunAbout, BringAboutForward, AboutClosed, EnableSettings, BringSettingsForward | settings open"},
        {"started again: the settings dialog opens, then comes forward", nullptr, "again again", "ShowSettings, BringSettingsForward | settings open"},
        {"the dialog's own sync, About and exit buttons", nullptr, "settings dlgsync reply dlgabout end dlgexit",
         "ShowSettings, " + set + "误差不到 1 秒, DisableSettings, RunAbout, AboutClosed, EnableSettings, CloseSettings, UnloadMain"},
        {"settings opened under the About box start greyed", nullptr, "about settings end",
         "RunAbout, ShowSettings disabled, AboutClosed, EnableSettings | settings open"},
        {"the tray works under the About box", nullptr, "about off sync reply button1 end",
         "RunAbout, KillTimer Timer_自动报时, " + off + ", SetMenuChecks 10, " + set + "误差不到 1 秒, " + noon + ", AboutClosed | Value.ini 关闭报时=1"},
        {"exit closes what is open in order, the main window last; then nothing more", nullptr,
         "upgrade settings about exit end settings about off button1 hotkey tick",
         "KillTimer Timer_自动升级, CreateAdvert, ShowSettings, DisableSettings, RunAbout, CloseSettings, CloseAdvert, CloseAbout, UnloadMain, AboutClosed"},
        {"an exit while it speaks, nothing else open, silences the speech, the tick having armed its timer first", nullptr,
         "exit@3 tick tick", "SetTimer Timer_自动报时 1000, play 提示, play 现在时间, play 下午, play 十, play 二, play 点, play 整, silenced, UnloadMain"},
        {"a tick speaks on the hour once, arming its timer first", nullptr, "at=09:59:59 tick at=10:00:00 tick at=10:00:01 tick",
         "SetTimer Timer_自动报时 495, SetTimer Timer_自动报时 1000, play 提示, play 现在时间, play 上午, play 十, play 点, play 整, SetTimer Timer_自动报时 1000"},
        {"the tick armed before the hour starts it ahead; the hour's own tick then says nothing", nullptr,
         "at=09:59:59 tick at=09:59:59.500 tick at=10:00:00 tick",
         "SetTimer Timer_自动报时 495, SetTimer Timer_自动报时 505, play 提示, play 现在时间, play 上午, play 十, play 点, play 整, SetTimer Timer_自动报时 1000"},
        {"the frequency in the file chooses the hours", "报时设置=2", "at=15:00:00 tick at=18:00:00 tick",
         "SetTimer Timer_自动报时 1000, SetTimer Timer_自动报时 1000, play 提示, play 现在时间, play 下午, play 六, play 点, play 整"},
        {"the 高级设置 page applies at once; its preview speaks from the main window, not in the click, and a second one while it speaks is dropped",
         nullptr, "at=14:29:59 settings adv say1 vol=40 try half pageok preview@2 preview tick at=14:30:00 tick",
         "ShowSettings, SetTimer Timer_试听 0, KillTimer Timer_试听, play 提示, play 现在时间, play 下午, play 两, play 点, play 二, "
         "play 十, play 九, play 分, KillTimer Timer_试听, heard at 40, SetTimer Timer_自动报时 495, SetTimer Timer_自动报时 1000, play 提示, play 现在时间, play 下午, play 两, play 点, play 半, heard at 40 | settings open | Value.ini 报时热键=, 半点报时=1, 报时音量=40, 报时说法=1, 安静开始=00:00, 安静结束=00:00, 广告设置=0, 语音包="},
        {"a clip that cannot be played is named once in a run, and after every preview", nullptr, "broken button1 button1 preview",
         noon + ", " + unplayable + ", " + noon + ", KillTimer Timer_试听, " + noon + ", " + unplayable},
        {"语音包 picks a pack of Sound, whose phrase clips speak runs of words", "语音包=女声",
         "packs load at=09:59:59 tick at=10:00:00 tick",
         "SetTimer Timer_自动报时 495, SetTimer Timer_自动报时 1000, play 女声\\提示, play 女声\\现在时间, play 女声\\上午, play 女声\\十点整"},
        {"a chosen pack that lost a clip, or is gone, is told once at start; the default voice speaks", "语音包=女声",
         "packs lost load button1", "Warning 报时声音: 语音包“女声”缺少 三.wav，现用默认声音报时, " + noon},
        {"", "语音包=旧", "packs load", "Warning 报时声音: 找不到语音包“旧”，现用默认声音报时"},
        {"an empty 语音包 is Sound itself, with its own phrase clips", "语音包=", "packs at=09:59:59 tick at=10:00:00 tick",
         "SetTimer Timer_自动报时 495, SetTimer Timer_自动报时 1000, play 提示, play 现在时间, play 上午, play 十点, play 整"},
        // the tray icon and its switches
        {"the left button speaks now, the right opens the menu, others nothing", nullptr, "button1 button2 button0 button3",
         noon + ", PopupTrayMenu"},
        {"a click or the hotkey while speaking adds nothing", nullptr, "button1@4 button1 hotkey@4 hotkey", noon + ", " + noon},
        {"a held hotkey speaks once, a repeat handled after its release too; seen released, it speaks again", nullptr,
         "keydown hotkey hotkey@4 hotkey hotkey keyup hotkey tip hotkey",
         noon + ", SetTrayTooltip 2010/7/28 12:00:00, " + noon},
        {"the hour due during a click's announcement is spoken when it ends", nullptr, "at=09:59:57 tick=10:00:00@3 button1",
         "play 提示, play 现在时间, play 上午, play 九, play 点, play 五, play 十, play 九, play 分, SetTimer Timer_自动报时 1000, "
         "play 提示, play 现在时间, play 上午, play 十, play 点, play 整"},
        // 忙碌时不报时: the desktop is asked shortly before a moment and while one is held back
        {"locked: the hour is skipped and said so; a click and the hotkey still speak", "忙碌时不报时=1", "locked at=09:59:55 tick at=09:59:57 tick at=10:00:00 tick tip at=10:00:02 button1 hotkey",
         tick + ", " + tick + ", ask, " + tick + ", SetTrayTooltip 10:00 的报时因锁屏未报, " + ten + ", " + ten},
        {"without the key the desktop is never asked", nullptr, "locked at=09:59:57 tick at=10:00:00 tick", tick + ", " + tick + ", " + ten},
        {"full screen holds the hour; once it ends the time then current is spoken", "忙碌时不报时=1", "full at=09:59:57 tick at=10:00:00 tick tip tick=10:00:04 tick=10:00:06 free tick=10:00:07 tick=10:00:11",
         tick + ", ask, " + tick + ", SetTrayTooltip 10:00 的报时等演示结束, " + tick + ", ask, " + tick + ", " + tick + ", " + ten + ", " + tick},
        {"the microphone held past ten minutes: skipped", "忙碌时不报时=1", "mic at=09:59:57 tick at=10:00:00 tick tick=10:10:00 tip",
         tick + ", ask, " + tick + ", " + tick + ", ask, SetTrayTooltip 10:00 的报时因通话未报"},
        {"a moment stepped onto asks first and is decided at the next tick", "忙碌时不报时=1", "dnd tick=10:00:00 tick=10:00:01", tick + ", ask, " + tick},
        {"a waiting moment gives way to the next, spoken once", "忙碌时不报时=1 半点报时=1", "full at=10:00:00 tick tick tick=10:30:00 free tick=10:30:01 tick=10:30:02",
         tick + ", ask, " + tick + ", " + tick + ", ask, " + tick + ", play 提示, play 现在时间, play 上午, play 十, play 点, play 三, play 十, play 分, " + tick},
        // the pause
        {"paused for an hour: stored, muted, said; half past skipped; resumed", "半点报时=1", "at=12:15:30 pause1 tick=12:30:00 tick=12:30:01 resume",
         "EnableResume, SetTrayIconMuted 1, SetTrayTooltip 暂停到 13:15, " + tick + ", " + tick + ", DisableResume, SetTrayIconMuted 0, SetTrayTooltip 2010/7/28 12:30:01 | Value.ini 半点报时=1, 暂停报时到="},
        {"a stored pause outlives a restart and ends on its minute", "暂停报时到=2010-07-28_12:30 半点报时=1", "tip tick=12:29:58 at=12:30:00 tip tick",
         "SetTrayTooltip 暂停到 12:30, " + tick + ", DisableResume, SetTrayIconMuted 0, SetTrayTooltip 2010/7/28 12:30:00, " + tick + ", play 提示, play 现在时间, play 下午, play 十, play 二, play 点, play 三, play 十, play 分"},
        {"until the morning: the end of the quiet span", "安静开始=22:00 安静结束=06:30", "pausem",
         "EnableResume, SetTrayIconMuted 1, SetTrayTooltip 暂停到 06:30 | Value.ini 安静开始=22:00, 安静结束=06:30, 暂停报时到=2010-07-29 06:30"},
        {"the middle button says the date and the time", nullptr, "button4",
         "play 提示, play 今天是, play 二, play 零, play 一, play 零, play 年, play 七, play 月, play 二, play 十, play 八, play 日, play 星期, play 三, " + noon.substr(noon.find("play 现在时间"))},
        {"announcements off and on again, as they were", "关闭报时=0 格式设置=0", "off off",
         "KillTimer Timer_自动报时, " + off + ", SetMenuChecks 10, SetTimer Timer_自动报时 1000, " + on + ", SetMenuChecks 00 | Value.ini 关闭报时=0, 格式设置=0"},
        {"from a hand-edited 2 the first choice switches on", "关闭报时=2", "off", on + ", SetMenuChecks 00 | Value.ini 关闭报时=0"},
        {"a read-only file still switches for this run", "格式设置=0", "readonly off",
         "KillTimer Timer_自动报时, " + off + ", SetMenuChecks 10 | Value.ini 格式设置=0"},
        {"the settings dialog moves timers and marks when applied, the logon box at once", "格式设置=0",
         "settings offbox syncbox apply bootbox cancel off",
         "ShowSettings, KillTimer Timer_自动报时, " + off + ", KillTimer Timer_自动校时, SetMenuChecks 10, SetMenuChecks 11, SetTimer Timer_自动报时 1000, " + on +
         ", SetMenuChecks 01 | Value.ini 格式设置=0, 报时设置=0, 广告设置=0, 关闭报时=0, 自动校时=1 | " + registered},
        {"the sync box moves the sync timer when applied", nullptr, "settings syncbox apply syncbox ok",
         "ShowSettings, " + on + ", KillTimer Timer_自动校时, SetMenuChecks 00, " + on + ", SetTimer Timer_自动校时 1000, SetMenuChecks 00 | Value.ini 报时设置=0, 格式设置=0, 广告设置=0, 关闭报时=0, 自动校时=0"},
        // start at logon, from the real state at start; the settings dialog registers again what is on
        {"start at logon on and off", nullptr, "boot boot settings", "SetMenuChecks 01, SetMenuChecks 00, ShowSettings | settings open | " + registered + ", Delete Kestrune"},
        {"the open dialog's box follows the menu", nullptr, "settings boot", "ShowSettings, SetMenuChecks 01, RefreshSettings boot1 | settings open | " + registered},
        {"registered: off and on", nullptr, "registered load boot boot settings",
         "SetMenuChecks 00, SetMenuChecks 01, ShowSettings, SetMenuChecks 01 | settings open | Delete Kestrune, " + registered},
        {"a moved program starts unmarked; a refusing store still moves the mark", nullptr, "stale refusing load boot settings",
         "SetMenuChecks 01, ShowSettings, SetMenuChecks 01 | settings open | " + registered + ", " + registered},
        // the hotkey from the file and from the page
        {"registered at start, replaced from the page", "报时热键=ctrl+alt+t", "key=Win+F5",
         "RegisterHotkey Ctrl+Alt+T, UnregisterHotkey, RegisterHotkey Win+F5 | Value.ini 报时热键=Win+F5"},
        {"cleared from the page", "报时热键=Ctrl+Alt+T", "key=", "RegisterHotkey Ctrl+Alt+T, UnregisterHotkey | Value.ini 报时热键="},
        {"taken at start: told; the page may choose another", "报时热键=Ctrl+Alt+X", "key=Ctrl+Alt+Y",
         "RegisterHotkey Ctrl+Alt+X, Warning 报时热键: 报时热键 Ctrl+Alt+X 已被其他程序占用, RegisterHotkey Ctrl+Alt+Y | Value.ini 报时热键=Ctrl+Alt+Y"},
        {"taken on the page: the old one is kept", "报时热键=Ctrl+Alt+T", "key=ctrl+alt+x",
         "RegisterHotkey Ctrl+Alt+T, UnregisterHotkey, RegisterHotkey Ctrl+Alt+X, RegisterHotkey Ctrl+Alt+T, 该热键已被占用"},
        {"unreadable in the file: told", "报时热键=Ctrl+T+", "", "Warning 报时热键: Value.ini 中的报时热键“Ctrl+T+”无法识别"},
        {"unreadable on the page", nullptr, "key=Shift+T", "热键请按 Ctrl+Alt+T 的形式填写"},
        {"a desktop without hotkeys: told once at start", "报时热键=Ctrl+Alt+T", "nohotkeys load key=Ctrl+Alt+Y",
         "RegisterHotkey Ctrl+Alt+T, Warning 报时热键: 报时热键 Ctrl+Alt+T 在此桌面无法使用：Wayland, RegisterHotkey Ctrl+Alt+Y, 此桌面不支持全局热键"},
        {"a desktop without hotkeys: the page shows the stored one, greyed", "报时热键=Ctrl+Alt+T", "nohotkeys load settings adv field",
         "RegisterHotkey Ctrl+Alt+T, Warning 报时热键: 报时热键 Ctrl+Alt+T 在此桌面无法使用：Wayland, ShowSettings, field Ctrl+Alt+T greyed | settings open"},
        // only synchronisations from the menu are reported
        {"set", nullptr, "moved=3000 sync reply", set + "调整了 +3 秒"},
        {"set: whole seconds, rounded", nullptr, "moved=-2600 sync reply", set + "调整了 -3 秒"},
        {"set: half a second is one", nullptr, "moved=500 sync reply", set + "调整了 +1 秒"},
        {"set: less than half a second", nullptr, "moved=-499 sync reply", set + "误差不到 1 秒"},
        {"set: hours, minutes, seconds", nullptr, "moved=3725000 sync reply", set + "调整了 +1 小时 2 分 5 秒"},
        {"set: a day", nullptr, "moved=-86400000 sync reply", set + "调整了 -1 天"},
        {"refused", nullptr, "refused sync reply", "Warning 网络校时: 系统拒绝修改时间"},
        {"unusable: a server on another port named with it", "校时服务器=10.1.2.3:2013", "sync garbage", failed + "时间服务器 10.1.2.3:2013 的回复无法识别"},
        {"silent: the default server by its name", nullptr, "sync timeout", failed + "时间服务器 time.nist.gov 没有回应"},
        {"no server", "校时服务器=x:0", "sync", failed + "Value.ini 中的“校时服务器”无法识别"},
        {"the server's name not found", nullptr, "sync notfound", failed + "找不到时间服务器 time.nist.gov"},
        {"no time service on this system", nullptr, "noservice sync reply", "Warning 网络校时: 本系统没有时间服务，无法修改时间"},
        {"no answer from the system in time", nullptr, "noanswer sync reply", "Warning 网络校时: 系统没有回应修改时间的请求"},
        {"the system keeps its time: the menu reports the difference, sets nothing; the hourly one asks nothing", nullptr,
         "ntp moved=300 sync reply hourly reply count tip", "Notice 网络校时: 系统已自动校时，" + differs + "+0.3 秒（±0.5 秒）, connections 1, settings 0, SetTrayTooltip 上次校时 12:00 +0.3 秒"},
        {"the system's own synchronisation not yet done: as without", nullptr, "ntpwait moved=3000 sync reply", set + "调整了 +3 秒"},
        {"refused by the system's own synchronisation", nullptr, "moved=3000 auto sync reply", "Warning 网络校时: 系统正在自动校时，不接受手动修改；" + differs + "+3.0 秒（±0.5 秒）"},
        {"no right, hourly: silent, said in the tooltip, and no more hourly requests", nullptr, "moved=3000 noright hourly reply hourly tip count",
         "SetTrayTooltip 上次校时 12:00 失败 / 需要管理员权限才能校时, connections 1, settings 1"},
        {"no right from the menu: rights offered; the menu again applies the offset with them", nullptr, "moved=-2600 noright sync reply sync",
         offer + "-2.6 秒（±0.5 秒）" + take + ", " + set + "调整了 -3 秒 | elevated -2600"},
        {"once known, the menu offers without setting; a click takes the offer", nullptr, "moved=3000 noright hourly reply sync reply click count",
         offer + "+3.0 秒（±0.5 秒）" + take + ", " + set + "调整了 +3 秒, connections 2, settings 1 | elevated 3000"},
        {"rights declined", nullptr, "noright sync reply declined click", offer + "+0.0 秒（±0.5 秒）" + take + ", Warning 网络校时: 未获得管理员权限，时间没有修改 | elevated 0"},
        {"hourly", nullptr, "hourly reply", ""},
        {"hourly, no server", "校时服务器=x:0", "hourly", ""},
        {"the menu during the hourly one", nullptr, "moved=-3000 hourly sync reply", set + "调整了 -3 秒"},
        {"an answer after exit", nullptr, "late sync reply exit answers", "UnloadMain"},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CoreRig rig;
        if (row.ini) {
            std::string ini = std::string("[Tolvane] ") + row.ini + " ";
            for (std::size_t at; (at = ini.find(' ')) != std::string::npos;)
                ini.replace(at, 1, "\r\n");
            std::replace(ini.begin(), ini.end(), '_', ' ');
            rig.profiles.files[rig.Ini()] = ini;
        }
        rig.clock.Set(fakes::At(2010, 7, 28, 12, 0, 0, 5));
        const std::string steps = row.steps;
        EXPECT_EQ(Play(rig, steps.find("load") == std::string::npos ? "load " + steps : steps),
                  row.shown);
        EXPECT_FALSE(rig.core.IsAboutOpen());
        // Closing the advert on the way out never opens the second page.
        for (const std::string& action : rig.windows.advert.actions) {
            EXPECT_FALSE(action.starts_with("OpenInBrowser"));
        }
    }
}

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

TEST(Hotkey, KeysPressedInTheFieldRecordAClearOrType) {
    constexpr std::uint32_t kCtrlAlt = kHotkeyCtrl | kHotkeyAlt;
    const struct {
        std::uint32_t modifiers;
        const char* key;
        const char* text;  // nullptr: the key types
    } rows[] = {
        {kCtrlAlt, "T", "Ctrl+Alt+T"},
        {kHotkeyWin | kHotkeyShift, "F5", "Shift+Win+F5"},
        {0, "F9", "F9"},
        {kHotkeyAlt, "Delete", "Alt+Delete"},
        {0, "Backspace", ""},
        {kHotkeyShift, "Delete", ""},
        {0, "T", nullptr},
        {kHotkeyShift, "T", nullptr},
        {0, "Space", nullptr},
        {kCtrlAlt, "Backspace", nullptr},
        {kCtrlAlt, "+", nullptr},
        {kCtrlAlt, "Alt", nullptr},
        {kCtrlAlt, "", nullptr},
    };
    for (const auto& row : rows) {
        const std::optional<std::string> text = RecordHotkey(row.modifiers, row.key);
        ASSERT_EQ(text.has_value(), row.text != nullptr) << row.key;
        if (text) {
            EXPECT_EQ(*text, row.text) << row.key;
        }
    }
}

}  // namespace
}  // namespace tolvane::testing
