#include "qt/ExecutableFolder.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "TempFolder.h"

namespace tolvane::testing {
namespace {

struct FolderRow {
    const char* name;
    std::optional<std::string> selfLink;
    std::string argv0;
    std::optional<std::string> currentFolder;
    std::optional<std::string> searchPath;
    std::set<std::string> selves;              // the paths that name this executable
    std::map<std::string, std::string> links;  // resolved paths; others fail to resolve
    std::string folder;
};

TEST(FindProgramFolder, ProcSelfExeThenTheCommandButNeverTheCurrentFolder) {
    const std::string longFolder = "/x/" + std::string(5000, 'd');
    // clang-format off
    const FolderRow rows[] = {
        {"proc_self_exe", "/opt/t/tolvane", "./elsewhere/tolvane", "/home/u", {}, {"/home/u/./elsewhere/tolvane"}, {}, "/opt/t"},
        {"proc_self_exe_at_root", "/tolvane", "tolvane", "/", {}, {}, {}, "/"},
        {"proc_self_exe_deleted", "/opt/t/tolvane (deleted)", "", {}, {}, {}, {}, "/opt/t"},
        {"absolute_command", {}, "/opt/t/tolvane", "/home/u", {}, {"/opt/t/tolvane"}, {}, "/opt/t"},
        {"relative_command", {}, "bin/tolvane", "/home/u", {}, {"/home/u/bin/tolvane"}, {}, "/home/u/bin"},
        {"command_in_the_root_folder", {}, "tolvane", "/", "", {"/./tolvane"}, {}, "/."},
        {"command_through_a_symlink", {}, "/usr/bin/tolvane", "/", {}, {"/usr/bin/tolvane"}, {{"/usr/bin/tolvane", "/opt/t/tolvane"}}, "/opt/t"},
        {"command_too_long_to_resolve", {}, "/s/L/M/tolvane", "/", {}, {"/s/L/M/tolvane"}, {}, "/s/L/M"},
        {"command_resolves_beyond_any_limit", {}, "/s/L/tolvane", "/", {}, {"/s/L/tolvane"}, {{"/s/L/tolvane", longFolder + "/tolvane"}}, longFolder},
        {"found_on_path", {}, "tolvane", "/home/u", "/usr/bin:/opt/t", {"/opt/t/tolvane"}, {}, "/opt/t"},
        {"first_match_on_path", {}, "tolvane", "/home/u", "/a:/b", {"/a/tolvane", "/b/tolvane"}, {}, "/a"},
        {"empty_path_entry_is_the_current_folder", {}, "tolvane", "/home/u", "/usr/bin::/opt", {"/home/u/./tolvane"}, {}, "/home/u/."},
        {"relative_path_entry", {}, "tolvane", "/home/u", "bin", {"/home/u/bin/tolvane"}, {}, "/home/u/bin"},
        // nothing to go by: no folder at all, in particular not the current one
        {"no_command", {}, "", "/home/u", "/opt/t", {"/home/u/tolvane"}, {}, ""},
        {"not_on_path", {}, "tolvane", "/home/u", "/usr/bin:/bin", {"/opt/t/tolvane"}, {}, ""},
        {"no_path_variable", {}, "tolvane", "/home/u", {}, {"/home/u/tolvane"}, {}, ""},
        {"command_names_another_file", {}, "/usr/bin/other", "/home/u", {}, {"/opt/t/tolvane"}, {}, ""},
        {"relative_command_without_current_folder", {}, "./tolvane", {}, {}, {"./tolvane"}, {}, ""},
        {"relative_self_link", "tolvane", "", "/home/u", {}, {}, {}, ""},
    };
    // clang-format on
    for (const FolderRow& row : rows) {
        SCOPED_TRACE(row.name);
        ExecutableProbe probe;
        probe.selfLink = row.selfLink;
        probe.argv0 = row.argv0;
        probe.currentFolder = row.currentFolder;
        probe.searchPath = row.searchPath;
        probe.isSelf = [&](const std::string& path) { return row.selves.contains(path); };
        probe.resolve = [&](const std::string& path) -> std::optional<std::string> {
            auto it = row.links.find(path);
            if (it == row.links.end()) return std::nullopt;
            return it->second;
        };
        EXPECT_EQ(FindProgramFolder(probe).path, row.folder);
    }
}

TEST(ProbeThisProcess, RecognisesOnlyItsOwnExecutable) {
    const ExecutableProbe probe = ProbeThisProcess("unit_tests");
    ASSERT_TRUE(probe.selfLink.has_value());
    EXPECT_TRUE(probe.isSelf(*probe.selfLink));
    EXPECT_FALSE(probe.isSelf("/bin/sh"));
    EXPECT_FALSE(probe.isSelf("/"));
    TempFolder folder("probe");
    EXPECT_FALSE(probe.isSelf(folder.Put("copy", "not the program")));
}

}  // namespace
}  // namespace tolvane::testing
