#include "app/MainWindowCore.h"

#include <gtest/gtest.h>

#include "fakes/FakeClock.h"
#include "fakes/FakeDateTimeFormatter.h"
#include "fakes/FakeLocale.h"
#include "fakes/FakeMessagePump.h"
#include "fakes/MemoryProfileStore.h"
#include "fakes/RecordingClipPlayer.h"

namespace tolvane::testing {
namespace {

using namespace std::chrono_literals;

struct Shell {
    explicit Shell(ProgramFolder folder = {"C:\\Apps\\T", '\\'})
        : core(ShellServices{profiles, clock, player, pump, locale, formatter}, std::move(folder)) {
    }

    fakes::MemoryProfileStore profiles;
    fakes::FakeClock clock;
    fakes::RecordingClipPlayer player;
    fakes::FakeMessagePump pump;
    fakes::FakeLocale locale;
    fakes::FakeDateTimeFormatter formatter;
    MainWindowCore core;
};

TEST(MainWindowCore, LoadReadsValueIniBesideTheProgramAndWritesNothing) {
    Shell shell;
    shell.profiles.files["C:\\Apps\\T\\Value.ini"] = "[Tolvane]\r\n关闭报时=1\r\n自动校时=2\r\n";
    const ShellState& state = shell.core.Load();
    EXPECT_EQ(state, (ShellState{true, false, false, true}));
    EXPECT_EQ(shell.core.Vars().ConfigFile.FilePath(), "C:\\Apps\\T\\Value.ini");
    EXPECT_EQ(shell.profiles.CountOf("WriteString"), 0);
    for (const auto& call : shell.profiles.calls) EXPECT_EQ(call.file, "C:\\Apps\\T\\Value.ini");
}

TEST(MainWindowCore, StartsWithDefaultsWithoutAFile) {
    Shell shell(ProgramFolder{"/opt/tolvane", '/'});
    EXPECT_EQ(shell.core.Load(), (ShellState{false, false, true, true}));
    EXPECT_EQ(shell.core.Vars().ConfigFile.FilePath(), "/opt/tolvane/Value.ini");
    EXPECT_TRUE(shell.profiles.files.empty());
}

TEST(MainWindowCore, TickSpeaksOnTheHourFromTheProgramsSoundFolder) {
    Shell shell(ProgramFolder{"/opt/tolvane", '/'});
    shell.core.Load();
    shell.clock.Set(fakes::At(2010, 7, 28, 9, 59, 59, 5));
    shell.core.AnnounceTick();
    EXPECT_TRUE(shell.player.played.empty());
    shell.clock.Advance(1000ms);
    shell.core.AnnounceTick();
    EXPECT_EQ(shell.player.Words("/opt/tolvane/Sound/"),
              (std::vector<std::string>{"提示", "现在时间", "上午", "十", "点", "整"}));
    shell.player.played.clear();
    shell.clock.Advance(1000ms);
    shell.core.AnnounceTick();
    EXPECT_TRUE(shell.player.played.empty());
}

TEST(MainWindowCore, FrequencyFromTheFileChoosesTheHours) {
    Shell shell;
    shell.profiles.files["C:\\Apps\\T\\Value.ini"] = "[Tolvane]\r\n报时设置=2\r\n";
    shell.core.Load();
    for (int hour : {15, 18}) {
        shell.clock.Set(fakes::At(2010, 7, 28, hour, 0, 0, 5));
        shell.core.AnnounceTick();
    }
    EXPECT_EQ(shell.player.Words("C:\\Apps\\T\\Sound\\"),
              (std::vector<std::string>{"提示", "现在时间", "下午", "六", "点", "整"}));
}

TEST(MainWindowCore, AnUnknownFolderRunsOnDefaultsWithTheAlertForEveryClip) {
    for (char separator : {'/', '\\'}) {
        Shell shell(ProgramFolder{"", separator});
        // What a relative or root path would find: it must stay unread.
        for (const char* file : {"Value.ini", "/Value.ini", "\\Value.ini", "./Value.ini"}) {
            shell.profiles.files[file] = "[Tolvane]\r\n格式设置=2\r\n关闭报时=1\r\n";
        }
        EXPECT_FALSE(shell.core.Folder().IsKnown());
        EXPECT_EQ(shell.core.Load(), (ShellState{false, false, true, true}));
        EXPECT_EQ(shell.core.Vars().ConfigFile.FilePath(), "");
        EXPECT_TRUE(shell.profiles.calls.empty());
        shell.core.OnMenuCommand(MenuCommand::AnnounceOff);
        EXPECT_EQ(shell.profiles.CountOf("WriteString"), 0);
        shell.core.OnMenuCommand(MenuCommand::AnnounceOff);
        shell.clock.Set(fakes::At(2010, 7, 28, 10, 0, 0, 5));
        shell.core.AnnounceTick();
        EXPECT_EQ(shell.player.played, std::vector<std::string>(6, ""));
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

TEST(MainWindowCore, TickDelayAlignsToTheNextSecond) {
    Shell shell;
    shell.clock.Set(fakes::At(2010, 7, 28, 9, 59, 58, 730));
    EXPECT_EQ(shell.core.AnnounceTickDelay(), 270 + kTickOffsetMs);
}

}  // namespace
}  // namespace tolvane::testing
