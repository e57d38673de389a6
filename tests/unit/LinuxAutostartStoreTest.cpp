#include "qt/LinuxAutostartStore.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TempFolder.h"
#include "autostart/StartAtBoot.h"
#include "qt/DesktopEntry.h"

namespace tolvane::testing {
namespace {

const std::string kRun(kRunKeyPath);

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string ExecOf(const std::string& command) {
    const std::string text = desktop_entry::EntryText(command).value_or("");
    const std::size_t at = text.find("\nExec=");
    return at == std::string::npos ? "" : text.substr(at + 6, text.find('\n', at + 1) - at - 6);
}

TEST(LinuxAutostartEntry, ExecQuotesThePathAndReadsBackExactly) {
    // clang-format off
    const std::pair<std::string, std::string> rows[] = {
        {"/opt/tolvane/tolvane", R"("/opt/tolvane/tolvane")"},
        {"/opt/a b/tolvane", R"("/opt/a b/tolvane")"},
        {"/x/$HOME/t", R"("/x/\\$HOME/t")"},
        {"/x/`id`/t", R"("/x/\\`id\\`/t")"},
        {"/x/\"q\"/t", R"("/x/\\"q\\"/t")"},
        {"/x/back\\slash/t", R"("/x/back\\\\slash/t")"},
        {"/x/100%u/t", R"("/x/100%%u/t")"},
        {"/x/new\nline\t/t", R"("/x/new\nline\t/t")"},
        {"/x/时钟/t", R"("/x/时钟/t")"},
    };
    // clang-format on
    for (const auto& [path, exec] : rows) {
        const std::string command = "\"" + path + "\"";
        EXPECT_EQ(ExecOf(command), exec) << path;
        const auto text = desktop_entry::EntryText(command);
        ASSERT_TRUE(text.has_value());
        EXPECT_EQ(desktop_entry::CommandOfEntry(*text), command) << path;
    }
    for (const char* notACommand : {"", "\"", "/opt/tolvane", "\"/opt/tolvane\" --x"}) {
        EXPECT_FALSE(desktop_entry::EntryText(notACommand).has_value()) << notACommand;
    }
}

TEST(LinuxAutostartEntry, SwitchedOffOrForeignEntriesReadAsNoCommand) {
    const std::string head = "[Desktop Entry]\nType=Application\n";
    const std::pair<std::string, std::string> rows[] = {
        {head + "Exec=\"/opt/t\"\n", "\"/opt/t\""},
        {head + "Exec = \"/opt/t\" \r\n", "\"/opt/t\""},
        {head + "Exec=\"/opt/t\"\nHidden=false\nX-GNOME-Autostart-enabled=true\n", "\"/opt/t\""},
        {head + "Exec=\"/opt/t\"\nHidden=true\n", ""},
        {head + "Exec=\"/opt/t\"\nX-GNOME-Autostart-enabled=false\n", ""},
        {head + "Name=T\n", ""},
        {"[Other]\nExec=\"/opt/t\"\n", ""},
        {head + "Exec=\"/opt/t\"\n[Desktop Action x]\nExec=\"/opt/other\"\n", "\"/opt/t\""},
        {head + "Exec=\"/opt/t\"\nExec=\"/opt/second\"\n", "\"/opt/t\""},
        {head + "Exec=/opt/t\n", "/opt/t"},
        {head + "Exec=\"/opt/t\" %u\n", "\"/opt/t\" %u"},
        {head + "Exec=\"/opt/\\q\"\n", "\"/opt/\\q\""},  // a bad escape is kept, never matches
        {"", ""},
    };
    for (const auto& [text, command] : rows) {
        EXPECT_EQ(desktop_entry::CommandOfEntry(text), command) << text;
    }
}

TEST(LinuxAutostartStore, WritesReadsAndRemovesOneEntryAtomically) {
    TempFolder temp("autostart");
    const std::string folder = temp.Path() + "/config/autostart";
    const std::string file = folder + "/Kestrune.desktop";
    LinuxAutostartStore store(folder);
    std::uint32_t type = kRegNone;
    std::string data = "as passed";

    EXPECT_TRUE(store.GetRegValue(kHkeyCurrentUser, kRun, "Kestrune", type, data));
    EXPECT_EQ(data, "");
    EXPECT_EQ(type, kRegNone);
    EXPECT_TRUE(store.SetRegValue(kHkeyCurrentUser, kRun, "Kestrune", kRegSz, "\"/opt/a b/t\""));
    EXPECT_EQ(
        Read(file),
        "[Desktop Entry]\nType=Application\nName=Tolvane\nIcon=tolvane\nExec=\"/opt/a b/t\"\n");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    EXPECT_TRUE(store.GetRegValue(kHkeyCurrentUser, kRun, "Kestrune", type, data));
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(data, "\"/opt/a b/t\"");
    // Only the entry is left in the folder: no temporary files.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);

    // Not storable: another key, another type, a name that leaves the folder, a bare path.
    EXPECT_FALSE(
        store.SetRegValue(kHkeyCurrentUser, "Software\\Other", "Kestrune", kRegSz, "\"/t\""));
    EXPECT_FALSE(store.SetRegValue(0x80000002, kRun, "Kestrune", kRegSz, "\"/t\""));
    EXPECT_FALSE(store.SetRegValue(kHkeyCurrentUser, kRun, "Kestrune", kRegDword, "\"/t\""));
    EXPECT_FALSE(store.SetRegValue(kHkeyCurrentUser, kRun, "../Kestrune", kRegSz, "\"/t\""));
    EXPECT_FALSE(store.SetRegValue(kHkeyCurrentUser, kRun, "Kestrune", kRegSz, "/t"));
    EXPECT_EQ(
        Read(file),
        "[Desktop Entry]\nType=Application\nName=Tolvane\nIcon=tolvane\nExec=\"/opt/a b/t\"\n");

    EXPECT_TRUE(store.DeleteRegValue(kHkeyCurrentUser, kRun, "Kestrune"));
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_FALSE(store.DeleteRegValue(kHkeyCurrentUser, kRun, "Kestrune"));

    // A folder where the entry should be, or no folder at all: silent failures.
    std::filesystem::create_directories(file);
    data = "as passed";
    EXPECT_FALSE(store.GetRegValue(kHkeyCurrentUser, kRun, "Kestrune", type, data));
    EXPECT_EQ(data, "as passed");
    EXPECT_FALSE(store.SetRegValue(kHkeyCurrentUser, kRun, "Kestrune", kRegSz, "\"/t\""));
    LinuxAutostartStore nowhere("");
    EXPECT_FALSE(nowhere.SetRegValue(kHkeyCurrentUser, kRun, "Kestrune", kRegSz, "\"/t\""));
    EXPECT_FALSE(nowhere.GetRegValue(kHkeyCurrentUser, kRun, "Kestrune", type, data));
}

TEST(LinuxAutostartStore, RegistrationThroughTheStoreRewritesASwitchedOffEntry) {
    TempFolder temp("autostart");
    LinuxAutostartStore store(temp.Path());
    const std::string command = "\"/opt/tolvane/tolvane\"";
    temp.Put("Kestrune.desktop", "[Desktop Entry]\nExec=" + ExecOf(command) + "\nHidden=true\n");
    EXPECT_FALSE(IsStartAtBootRegistered(store, command));
    RegisterStartAtBoot(store, command);
    EXPECT_TRUE(IsStartAtBootRegistered(store, command));
    EXPECT_EQ(Read(temp.Path() + "/Kestrune.desktop").find("Hidden"), std::string::npos);
}

TEST(LinuxAutostartStore, FolderFromXdgConfigHomeThenHome) {
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string config = savedConfig ? savedConfig : "";
    const std::string home = savedHome ? savedHome : "";
    ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
    ::setenv("HOME", "/home/u", 1);
    EXPECT_EQ(LinuxAutostartStore::DefaultFolder(), "/cfg/autostart");
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_EQ(LinuxAutostartStore::DefaultFolder(), "/home/u/.config/autostart");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(LinuxAutostartStore::DefaultFolder(), "/home/u/.config/autostart");
    ::unsetenv("HOME");
    EXPECT_EQ(LinuxAutostartStore::DefaultFolder(), "");
    if (savedConfig) ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    if (savedHome) ::setenv("HOME", home.c_str(), 1);
}

}  // namespace
}  // namespace tolvane::testing
