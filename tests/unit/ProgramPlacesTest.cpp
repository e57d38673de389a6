#include "base/ProgramPlaces.h"

#include <gtest/gtest.h>

namespace tolvane::testing {
namespace {

// Where Value.ini, the user's own voices and the logon command go: beside a portable program
// whatever its folder (even one the user cannot write), in the user's folders for one a
// package marked.
TEST(ProgramPlaces, PortableBesideTheProgramInstalledInTheUsersFolders) {
    const char* none = nullptr;
    // clang-format off
    const struct {
        ProgramFolder program;
        const char* marker;
        UserEnvironment environment;
        const char* settings;
        const char* ownVoices;
        const char* launcher;
    } rows[] = {
        {{"/opt/t", '/', "tolvane"}, none, {"/c", "/d", "/h"}, "/opt/t", "", "/opt/t/tolvane"},
        {{"/usr/lib/tolvane", '/', "tolvane"}, "# ours\nCommand = /usr/bin/tolvane \r\n", {"/c/", "/d", "/h"},
         "/c/tolvane", "/d/tolvane/Sound/", "/usr/bin/tolvane"},
        {{"/usr/lib/tolvane", '/', "tolvane"}, "Command=bin/tolvane", {"c", "", "/h/"},
         "/h/.config/tolvane", "/h/.local/share/tolvane/Sound/", "/usr/lib/tolvane/tolvane"},
        {{"/usr/lib/tolvane", '/', "tolvane"}, "", {"", "", ""}, "", "", "/usr/lib/tolvane/tolvane"},
        {{"", '/', ""}, "", {"/c", "/d", "/h"}, "", "", ""},
        {{"C:\\Program Files\\T", '\\', "Tolvane.exe"}, none, {"C:\\U\\AppData\\Roaming", "", "C:\\U"},
         "C:\\Program Files\\T", "", "C:\\Program Files\\T\\Tolvane.exe"},
        {{"C:\\U\\AppData\\Local\\Programs\\Tolvane", '\\', "Tolvane.exe"}, "; by the installer\r\n",
         {"C:\\U\\AppData\\Roaming\\", "C:\\U\\AppData\\Roaming\\", "C:\\U"}, "C:\\U\\AppData\\Roaming\\Tolvane",
         "C:\\U\\AppData\\Roaming\\Tolvane\\Sound\\", "C:\\U\\AppData\\Local\\Programs\\Tolvane\\Tolvane.exe"},
        {{"D:\\T", '\\', "Tolvane.exe"}, "", {"", "", "\\\\server\\u"}, "\\\\server\\u\\AppData\\Roaming\\Tolvane",
         "\\\\server\\u\\AppData\\Roaming\\Tolvane\\Sound\\", "D:\\T\\Tolvane.exe"},
        {{"D:\\T", '\\', "Tolvane.exe"}, "", {"C:x", "C:x", "U"}, "", "", "D:\\T\\Tolvane.exe"},
    };
    // clang-format on
    for (const auto& row : rows) {
        const std::optional<std::string> marker =
            row.marker ? std::optional<std::string>(row.marker) : std::nullopt;
        const ProgramPlaces places = LocatePlaces(row.program, marker, row.environment);
        SCOPED_TRACE(row.program.path + " " + (row.marker ? row.marker : "portable"));
        EXPECT_EQ(places.program.path, row.program.path);
        EXPECT_EQ(places.settings.path, row.settings);
        EXPECT_EQ(places.ownVoices, row.ownVoices);
        EXPECT_EQ(places.launcher.Join(places.launcher.executable), row.launcher);
    }
}

}  // namespace
}  // namespace tolvane::testing
