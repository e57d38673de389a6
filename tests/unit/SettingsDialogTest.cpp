#include "settings/SettingsDialog.h"

#include <gtest/gtest.h>

#include <sstream>

#include "fakes/MemoryProfileStore.h"
#include "fakes/RecordingSettingsHost.h"

namespace tolvane::testing {
namespace {

using Strings = std::vector<std::string>;
constexpr char kIni[] = "C:\\T\\Value.ini";
constexpr char kAllFive[] = "报时设置 格式设置 广告设置 关闭报时 自动校时";
constexpr char kPage[] = "半点报时 报时音量 报时说法 安静开始 安静结束 广告设置 语音包";

// One showing of the dialog: Value.ini and the logon state as loaded, the user's steps
// ("F1" frequency option 1, "T2" format option 2, "A0" advert option 0, "off", "boot", "sync"
// for the check boxes, "apply", "ok", "cancel", "close" for the close box), then what the
// file, the main window and the dialog show. "adv" opens the 高级设置 page, which then takes the
// steps ("half", "quiet", "from=22:00", "to=07:00", "vol=50", "say1", "ad2", "key=Ctrl+Alt+T",
// "pack2" for the second pack found, "preview", and the buttons) until it closes; while it is
// open the dialog shows its state after a "|". "wayland" first: the desktop has no global
// hotkeys; "packs" first: Sound holds the packs 我的声音 and 男声, and 半套, which lacks 三.wav.
// "exit" is the program's exit, closing the dialog as its close box does.
struct Scenario {
    const char* name;
    const char* ini;
    int startAtBoot;
    const char* steps;
    const char* iniAfter;  // nullptr: the file is untouched
    const char* written;   // keys written, in order
    Strings host;
    const char* shown;  // selected options, boxes, Apply, open
};

// clang-format off
const Scenario kScenarios[] = {
    {"ok untouched rewrites all five keys in order",
     "[Tolvane]\r\n格式设置=2\r\n广告日期=2026|12|06\r\n", 0, "ok",
     "[Tolvane]\r\n格式设置=2\r\n广告日期=2026|12|06\r\n报时设置=0\r\n广告设置=0\r\n关闭报时=0\r\n自动校时=0\r\n",
     kAllFive, {"AnnounceTimer=1", "SyncTimer=1", "OffMark=0"}, "F0 T2 A0 off0 boot0 sync1 apply0 closed"},
    {"no file: ok creates it with the defaults",
     nullptr, 0, "ok",
     "[Tolvane]\r\n报时设置=0\r\n格式设置=0\r\n广告设置=0\r\n关闭报时=0\r\n自动校时=0\r\n",
     kAllFive, {"AnnounceTimer=1", "SyncTimer=1", "OffMark=0"}, "F0 T0 A0 off0 boot0 sync1 apply0 closed"},
    {"loading selects and ticks from the file and greys apply",
     "[Tolvane]\r\n报时设置=2\r\n格式设置=1\r\n广告设置=1\r\n关闭报时=1\r\n自动校时=1\r\n", 0, "",
     nullptr, "", {}, "F2 T1 A1 off1 boot0 sync0 apply0 open"},
    {"only the sync box cleared enables apply",
     "[Tolvane]\r\n", 0, "sync",
     nullptr, "", {}, "F0 T0 A0 off0 boot0 sync0 apply1 open"},
    {"only the sync box cleared, then ok: stored 1, the sync timer stops",
     "[Tolvane]\r\n", 0, "sync ok",
     "[Tolvane]\r\n报时设置=0\r\n格式设置=0\r\n广告设置=0\r\n关闭报时=0\r\n自动校时=1\r\n",
     kAllFive, {"AnnounceTimer=1", "SyncTimer=0", "OffMark=0"}, "F0 T0 A0 off0 boot0 sync0 apply0 closed"},
    {"sync stopped (1) shows the box cleared; ticked, then ok: stored 0, the sync timer runs",
     "[Tolvane]\r\n自动校时=1\r\n", 0, "sync ok",
     "[Tolvane]\r\n自动校时=0\r\n报时设置=0\r\n格式设置=0\r\n广告设置=0\r\n关闭报时=0\r\n",
     kAllFive, {"AnnounceTimer=1", "SyncTimer=1", "OffMark=0"}, "F0 T0 A0 off0 boot0 sync1 apply0 closed"},
    {"2 keeps the sync running, so the box shows ticked; cleared, then ok: stored 1, it stops",
     "[Tolvane]\r\n自动校时=2\r\n", 0, "sync ok",
     "[Tolvane]\r\n自动校时=1\r\n报时设置=0\r\n格式设置=0\r\n广告设置=0\r\n关闭报时=0\r\n",
     kAllFive, {"AnnounceTimer=1", "SyncTimer=0", "OffMark=0"}, "F0 T0 A0 off0 boot0 sync0 apply0 closed"},
    {"frequency and format changed by the user, then ok",
     "[Tolvane]\r\n报时设置=2\r\n格式设置=0\r\n", 0, "F1 T1 ok",
     "[Tolvane]\r\n报时设置=1\r\n格式设置=1\r\n广告设置=0\r\n关闭报时=0\r\n自动校时=0\r\n",
     kAllFive, {"AnnounceTimer=1", "SyncTimer=1", "OffMark=0"}, "F1 T1 A0 off0 boot0 sync1 apply0 closed"},
    {"announcements off applied: timer stops, the tray mark follows, the dialog stays",
     "[Tolvane]\r\n", 0, "off apply",
     "[Tolvane]\r\n报时设置=0\r\n格式设置=0\r\n广告设置=0\r\n关闭报时=1\r\n自动校时=0\r\n",
     kAllFive, {"AnnounceTimer=0", "SyncTimer=1", "OffMark=1"}, "F0 T0 A0 off1 boot0 sync1 apply0 open"},
    {"apply twice writes twice",
     "[Tolvane]\r\n", 0, "A1 apply apply",
     "[Tolvane]\r\n报时设置=0\r\n格式设置=0\r\n广告设置=1\r\n关闭报时=0\r\n自动校时=0\r\n",
     "报时设置 格式设置 广告设置 关闭报时 自动校时 报时设置 格式设置 广告设置 关闭报时 自动校时",
     {"AnnounceTimer=1", "SyncTimer=1", "OffMark=0", "AnnounceTimer=1", "SyncTimer=1", "OffMark=0"},
     "F0 T0 A1 off0 boot0 sync1 apply0 open"},
    {"applied changes survive cancel, later ones do not",
     "[Tolvane]\r\n", 0, "F2 apply T2 cancel",
     "[Tolvane]\r\n报时设置=2\r\n格式设置=0\r\n广告设置=0\r\n关闭报时=0\r\n自动校时=0\r\n",
     kAllFive, {"AnnounceTimer=1", "SyncTimer=1", "OffMark=0"}, "F2 T2 A0 off0 boot0 sync1 apply1 closed"},
    {"start at logon ticked then cancel: registered, marked, nothing written",
     "[Tolvane]\r\n", 0, "boot cancel",
     nullptr, "", {"Register", "BootMark=1"}, "F0 T0 A0 off0 boot1 sync1 apply1 closed"},
    {"registered at start: opening registers again and marks the tray",
     "[Tolvane]\r\n", 1, "",
     nullptr, "", {"Register", "BootMark=1"}, "F0 T0 A0 off0 boot1 sync1 apply0 open"},
    {"not registered at start: opening touches no logon entry",
     "[Tolvane]\r\n", 0, "close",
     nullptr, "", {}, "F0 T0 A0 off0 boot0 sync1 apply0 closed"},
    {"start at logon cleared unregisters at once; apply does not repeat it",
     "[Tolvane]\r\n", 1, "boot apply",
     "[Tolvane]\r\n报时设置=0\r\n格式设置=0\r\n广告设置=0\r\n关闭报时=0\r\n自动校时=0\r\n",
     kAllFive, {"Register", "BootMark=1", "Unregister", "BootMark=0", "AnnounceTimer=1", "SyncTimer=1", "OffMark=0"},
     "F0 T0 A0 off0 boot0 sync1 apply0 open"},
    {"close box drops every change",
     "[Tolvane]\r\n报时设置=1\r\n", 0, "F2 T1 off sync close",
     nullptr, "", {}, "F2 T1 A0 off1 boot0 sync0 apply1 closed"},
    {"clicks after closing change nothing",
     "[Tolvane]\r\n", 0, "cancel F2 apply ok",
     nullptr, "", {}, "F0 T0 A0 off0 boot0 sync1 apply0 closed"},
    {"hand-edited values: no option selected, boxes ticked; apply keeps the numbers, stores the ticks",
     "[Tolvane]\r\n报时设置=5\r\n格式设置=-1\r\n广告设置=2\r\n关闭报时=2\r\n自动校时=-3\r\n", 0, "apply",
     "[Tolvane]\r\n报时设置=5\r\n格式设置=-1\r\n广告设置=2\r\n关闭报时=1\r\n自动校时=0\r\n",
     kAllFive, {"AnnounceTimer=0", "SyncTimer=1", "OffMark=1"}, "F- T- A- off1 boot0 sync1 apply0 open"},
    {"hand-edited frequency replaced once the user picks an option",
     "[Tolvane]\r\n报时设置=5\r\n", 0, "F1 ok",
     "[Tolvane]\r\n报时设置=1\r\n格式设置=0\r\n广告设置=0\r\n关闭报时=0\r\n自动校时=0\r\n",
     kAllFive, {"AnnounceTimer=1", "SyncTimer=1", "OffMark=0"}, "F1 T0 A0 off0 boot0 sync1 apply0 closed"},
    {"clicking the option already selected enables apply",
     "[Tolvane]\r\n", 0, "F0",
     nullptr, "", {}, "F0 T0 A0 off0 boot0 sync1 apply1 open"},
    {"a box ticked and cleared again still leaves apply enabled",
     "[Tolvane]\r\n", 0, "off off",
     nullptr, "", {}, "F0 T0 A0 off0 boot0 sync1 apply1 open"},
    {"advanced page: half hour, a quiet span and the hotkey saved by OK, every key of the page written",
     "[Tolvane]\r\n格式设置=0\r\n", 0, "adv half quiet from=10:00 to=10:30 key=Ctrl+Alt+T ok",
     "[Tolvane]\r\n格式设置=0\r\n半点报时=1\r\n报时音量=100\r\n报时说法=0\r\n安静开始=10:00\r\n安静结束=10:30\r\n广告设置=0\r\n语音包=\r\n",
     kPage, {"Hotkey=Ctrl+Alt+T"}, "F0 T0 A0 off0 boot0 sync1 apply0 open"},
    {"advanced page loads the file, spoilt values as their defaults",
     "[Tolvane]\r\n半点报时=1\r\n安静开始=25:61\r\n安静结束=07:00\r\n报时音量=300\r\n报时说法=1\r\n广告设置=2\r\n", 0, "adv",
     nullptr, "", {}, "F0 T0 A- off0 boot0 sync1 apply0 open | half1 quiet0 22:00-07:00 vol100 say1 ad2 apply0"},
    {"advanced page shows a stored quiet span",
     "[Tolvane]\r\n安静开始=23:30\r\n安静结束=6:15\r\n报时音量=0\r\n", 0, "adv",
     nullptr, "", {}, "F0 T0 A0 off0 boot0 sync1 apply0 open | half0 quiet1 23:30-06:15 vol0 say0 ad0 apply0"},
    {"a time it cannot read keeps the page open, saving nothing, and says why",
     "[Tolvane]\r\n", 0, "adv quiet from=24:00 ok apply",
     nullptr, "", {}, "F0 T0 A0 off0 boot0 sync1 apply0 open | half0 quiet1 24:00-07:00 vol100 say0 ad0 apply1 says 时间应在 00:00 到 23:59 之间 at from"},
    {"a badly written time is blamed on its form, beside the times, the field at fault given the focus",
     "[Tolvane]\r\n", 0, "adv quiet to=7.30 apply",
     nullptr, "", {}, "F0 T0 A0 off0 boot0 sync1 apply0 open | half0 quiet1 22:00-7.30 vol100 say0 ad0 apply1 says 请按“时:分”填写，如 22:00 at to"},
    {"typing clears the message; times are stored as HH:MM",
     "[Tolvane]\r\n", 0, "adv quiet to=8:0 apply to=8:00 from=7：30 apply",
     "[Tolvane]\r\n半点报时=0\r\n报时音量=100\r\n报时说法=0\r\n安静开始=07:30\r\n安静结束=08:00\r\n广告设置=0\r\n语音包=\r\n",
     kPage, {}, "F0 T0 A0 off0 boot0 sync1 apply0 open | half0 quiet1 07:30-08:00 vol100 say0 ad0 apply0"},
    {"a quiet span cleared is stored as equal times",
     "[Tolvane]\r\n安静开始=22:00\r\n安静结束=07:00\r\n", 0, "adv quiet ok",
     "[Tolvane]\r\n安静开始=00:00\r\n安静结束=00:00\r\n半点报时=0\r\n报时音量=100\r\n报时说法=0\r\n广告设置=0\r\n语音包=\r\n",
     kPage, {}, "F0 T0 A0 off0 boot0 sync1 apply0 open"},
    {"从不显示 saved on the page: the first page selects none and its OK keeps 2",
     "[Tolvane]\r\n", 0, "A1 adv ad2 ok ok",
     "[Tolvane]\r\n半点报时=0\r\n报时音量=100\r\n报时说法=0\r\n安静开始=00:00\r\n安静结束=00:00\r\n广告设置=2\r\n语音包=\r\n报时设置=0\r\n格式设置=0\r\n关闭报时=0\r\n自动校时=0\r\n",
     "半点报时 报时音量 报时说法 安静开始 安静结束 广告设置 语音包 报时设置 格式设置 广告设置 关闭报时 自动校时",
     {"AnnounceTimer=1", "SyncTimer=1", "OffMark=0"}, "F0 T0 A- off0 boot0 sync1 apply0 closed"},
    {"the preview speaks the page's unsaved choices and saves nothing",
     "[Tolvane]\r\n", 0, "adv say1 vol=35 preview vol=135",
     nullptr, "", {"Preview 1 35"}, "F0 T0 A0 off0 boot0 sync1 apply0 open | half0 quiet0 22:00-07:00 vol100 say1 ad0 apply1"},
    {"cancel and the close box on the page save nothing; apply saves and stays",
     "[Tolvane]\r\n", 0, "adv half vol=20 cancel adv say1 close adv vol=0 apply",
     "[Tolvane]\r\n半点报时=0\r\n报时音量=0\r\n报时说法=0\r\n安静开始=00:00\r\n安静结束=00:00\r\n广告设置=0\r\n语音包=\r\n",
     kPage, {}, "F0 T0 A0 off0 boot0 sync1 apply0 open | half0 quiet0 22:00-07:00 vol0 say0 ad0 apply0"},
    {"a hotkey another program holds keeps the page open, saving nothing, and says so",
     "[Tolvane]\r\n", 0, "adv half key=Ctrl+Alt+X ok",
     nullptr, "", {"Hotkey=Ctrl+Alt+X"}, "F0 T0 A0 off0 boot0 sync1 apply0 open | half1 quiet0 22:00-07:00 vol100 say0 ad0 apply1 message at key key=Ctrl+Alt+X"},
    {"a desktop without global hotkeys greys the field and saving leaves the hotkey alone",
     "[Tolvane]\r\n", 0, "wayland adv half apply",
     "[Tolvane]\r\n半点报时=1\r\n报时音量=100\r\n报时说法=0\r\n安静开始=00:00\r\n安静结束=00:00\r\n广告设置=0\r\n语音包=\r\n",
     kPage, {}, "F0 T0 A0 off0 boot0 sync1 apply0 open | half1 quiet0 22:00-07:00 vol100 say0 ad0 apply0 nokey"},
    {"the packs found follow the default; the one chosen is previewed and saved as 语音包",
     "[Tolvane]\r\n", 0, "packs adv pack2 preview apply",
     "[Tolvane]\r\n半点报时=0\r\n报时音量=100\r\n报时说法=0\r\n安静开始=00:00\r\n安静结束=00:00\r\n广告设置=0\r\n语音包=男声\r\n",
     kPage, {"Preview 0 100 男声"}, "F0 T0 A0 off0 boot0 sync1 apply0 open | half0 quiet0 22:00-07:00 vol100 say0 ad0 apply0 pack2 of 默认,我的声音,男声,半套"},
    {"a folder that is not a whole pack is refused, saying what it lacks; the choice stays",
     "[Tolvane]\r\n语音包=男声\r\n", 0, "packs adv pack3", nullptr, "", {},
     "F0 T0 A0 off0 boot0 sync1 apply0 open | half0 quiet0 22:00-07:00 vol100 say0 ad0 apply0 message “半套”缺少 三.wav，不能选用 pack2 of 默认,我的声音,男声,半套"},
    {"a stored pack no longer found shows the default, and saving keeps it",
     "[Tolvane]\r\n语音包=旧声音\r\n", 0, "packs adv half preview ok",
     "[Tolvane]\r\n语音包=旧声音\r\n半点报时=1\r\n报时音量=100\r\n报时说法=0\r\n安静开始=00:00\r\n安静结束=00:00\r\n广告设置=0\r\n",
     kPage, {"Preview 0 100 旧声音"}, "F0 T0 A0 off0 boot0 sync1 apply0 open"},
    {"忙碌时不报时 is written after the others once ticked, and 0 when cleared",
     "[Tolvane]\r\n", 0, "adv busy apply busy apply",
     "[Tolvane]\r\n半点报时=0\r\n报时音量=100\r\n报时说法=0\r\n安静开始=00:00\r\n安静结束=00:00\r\n广告设置=0\r\n语音包=\r\n忙碌时不报时=0\r\n",
     "半点报时 报时音量 报时说法 安静开始 安静结束 广告设置 语音包 忙碌时不报时 半点报时 报时音量 报时说法 安静开始 安静结束 广告设置 语音包 忙碌时不报时",
     {}, "F0 T0 A0 off0 boot0 sync1 apply0 open | half0 quiet0 22:00-07:00 vol100 say0 ad0 apply0"},
    {"the program's exit closes the page with the dialog",
     "[Tolvane]\r\n", 0, "adv half exit",
     nullptr, "", {}, "F0 T0 A0 off0 boot0 sync1 apply0 closed"},
};
// clang-format on

void PlayOnPage(AdvancedDialog& page, const std::string& word) {
    const auto control = [](const char* name) { return *FindControl(kAdvancedDialog, name); };
    const std::string value = word.substr(word.find('=') + 1);
    if (word == "close") page.CloseBox();
    if (word.starts_with("from=")) page.Edit(control("Text_安静开始"), value);
    if (word.starts_with("to=")) page.Edit(control("Text_安静结束"), value);
    if (word.starts_with("key=")) page.Edit(control("Text_报时热键"), value);
    if (word.starts_with("vol=")) page.Slide(control("Slider_报时音量"), std::stoi(value));
    if (word.starts_with("say")) page.Click(AdvancedRole::Phrasing, word[3] - '0');
    if (word.starts_with("ad")) page.Click(AdvancedRole::Advert, word[2] - '0');
    if (word.starts_with("pack")) page.Click(AdvancedRole::VoicePack, word[4] - '0');
    const std::pair<const char*, AdvancedRole> named[] = {
        {"half", AdvancedRole::HalfHour},   {"quiet", AdvancedRole::Quiet},
        {"preview", AdvancedRole::Preview}, {"apply", AdvancedRole::Apply},
        {"ok", AdvancedRole::Ok},           {"cancel", AdvancedRole::Cancel},
        {"busy", AdvancedRole::BusyQuiet}};
    for (const auto& [name, role] : named) {
        if (word == name) page.Click(role);
    }
}

void Play(SettingsDialog& dialog, const std::string& steps) {
    std::istringstream words(steps);
    std::string word;
    while (words >> word) {
        if (word == "exit") {
            dialog.CloseBox();
            continue;
        }
        if (word == "wayland" || word == "packs") continue;
        if (AdvancedDialog* page = dialog.Advanced()) {
            PlayOnPage(*page, word);
            continue;
        }
        if (word == "adv") {
            dialog.Click(SettingsRole::Advanced);
            dialog.Advanced()->Form_Load();
            continue;
        }
        if (word == "close") {
            dialog.CloseBox();
            continue;
        }
        const struct {
            const char* word;
            SettingsRole role;
        } named[] = {{"off", SettingsRole::AnnounceOff},
                     {"boot", SettingsRole::StartAtBoot},
                     {"sync", SettingsRole::HourlySyncOn},
                     {"apply", SettingsRole::Apply},
                     {"ok", SettingsRole::Ok},
                     {"cancel", SettingsRole::Cancel}};
        bool found = false;
        for (const auto& entry : named) {
            if (word == entry.word) {
                dialog.Click(entry.role);
                found = true;
            }
        }
        if (found) continue;
        const SettingsRole group = word[0] == 'F'   ? SettingsRole::Frequency
                                   : word[0] == 'T' ? SettingsRole::Format
                                                    : SettingsRole::Advert;
        dialog.Click(group, std::stoi(word.substr(1)));
    }
}

std::string Shown(const SettingsDialog& dialog) {
    std::string text;
    const std::pair<const char*, SettingsRole> groups[] = {
        {"F", SettingsRole::Frequency}, {"T", SettingsRole::Format}, {"A", SettingsRole::Advert}};
    for (const auto& [letter, role] : groups) {
        const int selected = dialog.Selected(role);
        text += letter + (selected < 0 ? std::string("-") : std::to_string(selected)) + " ";
    }
    const std::pair<const char*, SettingsRole> boxes[] = {{"off", SettingsRole::AnnounceOff},
                                                          {"boot", SettingsRole::StartAtBoot},
                                                          {"sync", SettingsRole::HourlySyncOn}};
    for (const auto& [word, role] : boxes) text += word + std::to_string(dialog.Ticked(role)) + " ";
    text += "apply" + std::to_string(dialog.ApplyEnabled());
    text += dialog.IsOpen() ? " open" : " closed";
    if (const AdvancedDialog* page = dialog.Advanced()) {
        const auto control = [](const char* name) { return *FindControl(kAdvancedDialog, name); };
        const auto shows = [&](const char* name) { return page->Text(control(name)); };
        text += " | half" + std::to_string(page->Checked(control("Check_半点报时"))) + " quiet" +
                std::to_string(page->Checked(control("Check_安静时段"))) + " " +
                shows("Text_安静开始") + "-" + shows("Text_安静结束") + " vol" +
                std::to_string(page->Value(control("Slider_报时音量"))) + " say" +
                std::to_string(page->Selected(AdvancedRole::Phrasing)) + " ad" +
                std::to_string(page->Selected(AdvancedRole::Advert)) + " apply" +
                std::to_string(page->ApplyEnabled()) +
                (shows("Label_提示").empty() ? "" : " message") +
                (page->Fault() == AdvancedRole::VoicePack ? " " + shows("Label_提示") : "") +
                (shows("Label_时段提示").empty() ? "" : " says " + shows("Label_时段提示")) +
                (page->Fault() == AdvancedRole::QuietStart ? " at from"
                 : page->Fault() == AdvancedRole::QuietEnd ? " at to"
                 : page->Fault() == AdvancedRole::Hotkey   ? " at key"
                                                           : "") +
                (page->Enabled(control("Text_报时热键")) ? "" : " nokey") +
                (page->Checked(control("Check_忙碌时不报时")) ? " busy" : "");
        if (!shows("Text_报时热键").empty()) text += " key=" + shows("Text_报时热键");
        if (const int pack = page->Selected(AdvancedRole::VoicePack); pack != 0) {
            text += " pack" + std::to_string(pack) + " of";
            for (const std::string& choice : page->Choices(control("Combo_语音包"))) {
                text += (text.back() == 'f' ? " " : ",") + choice;
            }
        }
    }
    return text;
}

TEST(SettingsDialog, Scenarios) {
    for (const Scenario& row : kScenarios) {
        SCOPED_TRACE(row.name);
        fakes::MemoryProfileStore profiles;
        if (row.ini != nullptr) profiles.files[kIni] = row.ini;
        自定义变量 vars(profiles);
        vars.ConfigFile.SpecifyIni(kIni);
        LoadSettings(vars, [&] { return row.startAtBoot != 0; });
        profiles.calls.clear();
        fakes::RecordingSettingsHost host;
        if (std::string(row.steps).starts_with("wayland")) host.unavailable = "no portal";
        if (std::string(row.steps).starts_with("packs"))
            host.packs = {{"我的声音"}, {"男声"}, {"半套", "三.wav"}};

        SettingsDialog dialog(vars, host);
        dialog.Form_Load();
        Play(dialog, row.steps);

        const std::string expectedIni = row.iniAfter ? row.iniAfter : (row.ini ? row.ini : "");
        EXPECT_EQ(profiles.files.count(kIni) ? profiles.files[kIni] : "", expectedIni);
        std::string written;
        for (const auto& call : profiles.calls) {
            EXPECT_EQ(call.op, "WriteString");
            EXPECT_EQ(call.section, "Tolvane");
            written += (written.empty() ? "" : " ") + call.key;
        }
        EXPECT_EQ(written, row.written);
        EXPECT_EQ(host.calls, row.host);
        EXPECT_EQ(Shown(dialog), row.shown);
    }
}

TEST(SettingsDialog, SettingsFollowApplyAndTheLogonBoxEvenWhenTheFileIsReadOnly) {
    fakes::MemoryProfileStore profiles;
    profiles.files[kIni] = "[Tolvane]\r\n关闭报时=0\r\n";
    profiles.readOnly[kIni] = true;
    自定义变量 vars(profiles);
    vars.ConfigFile.SpecifyIni(kIni);
    LoadSettings(vars, nullptr);
    fakes::RecordingSettingsHost host;
    SettingsDialog dialog(vars, host);
    dialog.Form_Load();
    Play(dialog, "F2 T1 A1 off sync boot ok");
    const SettingsRecord& s = vars.Settings;
    EXPECT_EQ((std::vector<int>{s.Frequency, s.AnnounceFormat, s.AdvertMode, s.AnnounceOff,
                                s.SyncTimerOff, s.StartAtBoot}),
              (std::vector<int>{2, 1, 1, 1, 1, 1}));
    EXPECT_EQ(profiles.files[kIni], "[Tolvane]\r\n关闭报时=0\r\n");
    EXPECT_EQ(vars.ConfigFile.ErrorMsg, "写入失败 ");
    EXPECT_EQ(host.calls,
              (Strings{"Register", "BootMark=1", "AnnounceTimer=0", "SyncTimer=0", "OffMark=1"}));
}

}  // namespace
}  // namespace tolvane::testing
