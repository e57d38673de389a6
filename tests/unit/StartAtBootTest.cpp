#include "autostart/StartAtBoot.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "autostart/RegistryValueText.h"
#include "fakes/CoreRig.h"

namespace tolvane::testing {
namespace {

using Strings = std::vector<std::string>;

TEST(StartAtBootCommand, QuotedPathWithLowerCaseExeOnWindows) {
    const std::pair<ProgramFolder, std::string> rows[] = {
        {{"C:\\Apps\\T", '\\', "Tolvane.exe"}, "\"C:\\Apps\\T\\Tolvane.exe\""},
        {{"C:\\", '\\', "Tolvane.exe"}, "\"C:\\\\Tolvane.exe\""},
        {{"C:\\Apps", '\\', "Tolvane.EXE"}, "\"C:\\Apps\\Tolvane.exe\""},
        {{"C:\\Apps", '\\', "Tolvane"}, "\"C:\\Apps\\Tolvane.exe\""},
        {{"C:\\Apps", '\\', "my.clock.com"}, "\"C:\\Apps\\my.clock.exe\""},
        {{"D:\\时钟 程序", '\\', "Tolvane.exe"}, "\"D:\\时钟 程序\\Tolvane.exe\""},
        {{"C:\\Apps", '\\'}, "\"C:\\Apps\\Tolvane.exe\""},
        {{"/opt/tolvane", '/', "tolvane"}, "\"/opt/tolvane/tolvane\""},
        {{"/", '/', "tolvane"}, "\"/tolvane\""},
        {{"/opt/a b", '/', "tol.vane"}, "\"/opt/a b/tol.vane\""},
        {{"/opt", '/'}, "\"/opt/tolvane\""},
        {{"", '\\', "Tolvane.exe"}, ""},
        {{"", '/', "tolvane"}, ""},
    };
    for (const auto& [folder, command] : rows) EXPECT_EQ(StartAtBootCommand(folder), command);
    // Without a command nothing is ever written.
    fakes::MemoryAutostartStore store;
    RegisterStartAtBoot(store, "");
    EXPECT_TRUE(store.values.empty());
}

TEST(StartAtBoot, RegisteredOnlyByTheExactCommandAndRegisterWritesOnlyThen) {
    const std::string command = "\"C:\\Apps\\T\\Tolvane.exe\"";
    const struct {
        std::optional<fakes::MemoryAutostartStore::Value> stored;
        bool registered;
    } rows[] = {
        {std::nullopt, false},
        {{{kRegSz, command}}, true},
        {{{kRegSz, ""}}, false},
        {{{kRegSz, "\"c:\\apps\\t\\tolvane.exe\""}}, false},
        {{{kRegSz, "\"C:\\Apps\\T\\Tolvane.exe\" "}}, false},
        {{{kRegSz, "C:\\Apps\\T\\Tolvane.exe"}}, false},
        {{{kRegDword, "5"}}, false},
        {{{kRegBinary, "22433A"}}, false},
    };
    const std::pair<std::string, std::string> key{std::string(kRunKeyPath), "Kestrune"};
    for (const auto& row : rows) {
        fakes::MemoryAutostartStore store;
        if (row.stored) store.values[key] = *row.stored;
        EXPECT_EQ(IsStartAtBootRegistered(store, command), row.registered);
        store.calls.clear();
        RegisterStartAtBoot(store, command);
        const Strings expected = row.registered
                                     ? Strings{"Get Kestrune"}
                                     : Strings{"Get Kestrune", "Set Kestrune=" + command};
        EXPECT_EQ(store.calls, expected);
        EXPECT_EQ(store.values[key].type, kRegSz);
        EXPECT_EQ(store.values[key].data, command);
        UnregisterStartAtBoot(store);
        EXPECT_TRUE(store.values.empty());
        UnregisterStartAtBoot(store);  // no value: nothing to do, nothing shown
        EXPECT_EQ(store.calls.back(), "Delete Kestrune");
    }
}

TEST(RegValueText, EachStoredTypeAsTheRegistryModuleReadsIt) {
    using namespace std::string_literals;
    std::size_t askedBuffer = 0;
    const ExpandEnvironment expand = [&](const std::string& source, std::size_t bufferChars) {
        askedBuffer = bufferChars;
        std::string text = source;
        const std::size_t at = text.find("%HOME%");
        if (at != std::string::npos) text.replace(at, 6, std::string(300, 'h'));
        text.resize(bufferChars, '\0');
        return text;
    };
    // clang-format off
    const struct {
        std::uint32_t type;
        std::string stored;
        std::string passedIn;
        std::string expected;
    } rows[] = {
        {kRegSz, "C:\\x\0"s, "in", "C:\\x"},
        {kRegSz, "abc"s, "", "abc"},
        {kRegSz, "ab\0cd\0"s, "", "ab"},
        {kRegSz, ""s, "in", ""},
        {kRegExpandSz, "%WINDIR%\\x\0"s, "", "%WINDIR%\\x"},
        {kRegExpandSz, "%HOME%\0"s, "", std::string(263, 'h')},  // cut at 7 + 256
        {kRegMultiSz, "a\0b\0\0"s, "", "a\0b\0"s},
        {kRegMultiSz, ""s, "in", ""},
        {kRegBinary, "\x0A\x1F"s, "", "A1F"},
        {kRegBinary, "\x00\xFF\x10"s, "x", "x0FF10"},
        {kRegBinary, ""s, "in", "in"},
        {kRegDword, "\x05\x00\x00\x00"s, "", "5"},
        {kRegDword, "\xFF\xFF\xFF\xFF"s, "", "-1"},
        {kRegDword, "\x01\x02"s, "", "513"},
        {kRegDword, "\x01\x00\x00\x00\x02"s, "", "1"},
        {kRegDwordBigEndian, "\x00\x00\x00\x01"s, "", "16777216"},
        {kRegNone, "xyz"s, "in", "in"},
        {kRegLink, "x\0y\0"s, "in", "in"},
        {11, "\x01\x00\x00\x00\x00\x00\x00\x00"s, "in", "in"},
    };
    // clang-format on
    for (const auto& row : rows) {
        EXPECT_EQ(RegValueText(row.type, row.stored, row.passedIn, expand), row.expected)
            << row.type << " " << row.stored;
    }
    RegValueText(kRegExpandSz, "%HOME%\0"s, "", expand);
    EXPECT_EQ(askedBuffer, 7u + 256u);
}

TEST(NetworkSyncCommand, MenuAndTimerAskTheServerFromValueIni) {
    const struct {
        const char* ini;
        std::optional<std::pair<std::string, int>> server;
    } rows[] = {
        {"[Tolvane]\r\n", {{"time.nist.gov", 13}}},
        {"[Tolvane]\r\n校时服务器=\r\n", {{"time.nist.gov", 13}}},
        {"[Tolvane]\r\n校时服务器=ntp.example.org\r\n", {{"ntp.example.org", 13}}},
        {"[Tolvane]\r\n校时服务器=127.0.0.1:2013\r\n", {{"127.0.0.1", 2013}}},
        {"[Tolvane]\r\n校时服务器=host:99999\r\n", std::nullopt},
        {"[Tolvane]\r\n校时服务器=两个 词\r\n", std::nullopt},
    };
    for (const auto& row : rows) {
        fakes::CoreRig rig;
        rig.profiles.files["C:\\T\\Value.ini"] = row.ini;
        rig.core.Form_Load();
        const ShellState before = rig.core.State();
        rig.core.OnMenuCommand(MenuCommand::NetworkSync);
        EXPECT_EQ(rig.core.State(), before);
        ASSERT_EQ(rig.socket.connections.size(), row.server ? 1u : 0u) << row.ini;
        if (!row.server) continue;
        EXPECT_EQ(rig.socket.connections[0].host, row.server->first);
        EXPECT_EQ(rig.socket.connections[0].port, row.server->second);
        rig.socket.Deliver("07 SEPT 2026 08:05:09 +0800\r\n");
        for (int i = 0; i < 3601; ++i) rig.core.OnTimer(MainTimer::Timer_自动校时);
        EXPECT_EQ(rig.socket.connections.size(), 2u);
        rig.socket.Deliver("07 SEPT 2026 08:05:10\r\n");
        ASSERT_EQ(rig.setter.settings.size(), 2u);
        EXPECT_TRUE(rig.setter.settings[0].interactive);
        EXPECT_FALSE(rig.setter.settings[1].interactive);
        EXPECT_EQ(rig.profiles.CountOf("WriteString"), 0);
    }
}

}  // namespace
}  // namespace tolvane::testing
