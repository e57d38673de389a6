#include "base/ProgramPlaces.h"

#include <gtest/gtest.h>

namespace tolvane::testing {
namespace {

// Beside a portable program whatever its folder (even one the user cannot write), in the user's
// folders for one a package marked, nowhere without them.
TEST(ProgramPlaces, PortableBesideTheProgramInstalledInTheUsersFolders) {
    // clang-format off
    const struct {
        ProgramFolder program;
        const char* marker;  // none: portable
        UserEnvironment environment;
        const char* places;  // Value.ini's folder | own voices | what start at logon starts
    } rows[] = {
        {{"/opt/t", '/', "tolvane"}, nullptr, {"/c", "/d", "/h"}, "/opt/t |  | /opt/t/tolvane"},
        {{"/usr/lib/tolvane", '/', "tolvane"}, "# ours\nCommand = /usr/bin/tolvane \r\n", {"/c/", "/d", "/h"},
         "/c/tolvane | /d/tolvane/Sound/ | /usr/bin/tolvane"},
        {{"/usr/lib/tolvane", '/', "tolvane"}, "Command=bin/tolvane", {"c", "", "/h/"},
         "/h/.config/tolvane | /h/.local/share/tolvane/Sound/ | /usr/lib/tolvane/tolvane"},
        {{"/usr/lib/tolvane", '/', "tolvane"}, "", {"", "", ""}, " |  | /usr/lib/tolvane/tolvane"},
        {{"", '/', ""}, "", {"/c", "/d", "/h"}, " |  | "},
        {{"C:\\Program Files\\T", '\\', "Tolvane.exe"}, nullptr, {"C:\\U\\AppData\\Roaming", "", "C:\\U"},
         "C:\\Program Files\\T |  | C:\\Program Files\\T\\Tolvane.exe"},
        {{"C:\\U\\AppData\\Local\\Programs\\Tolvane", '\\', "Tolvane.exe"}, "; by the installer\r\n",
         {"C:\\U\\AppData\\Roaming\\", "C:\\U\\AppData\\Roaming\\", "C:\\U"},
         "C:\\U\\AppData\\Roaming\\Tolvane | C:\\U\\AppData\\Roaming\\Tolvane\\Sound\\ | C:\\U\\AppData\\Local\\Programs\\Tolvane\\Tolvane.exe"},
        {{"D:\\T", '\\', "Tolvane.exe"}, "", {"", "", "\\\\server\\u"},
         "\\\\server\\u\\AppData\\Roaming\\Tolvane | \\\\server\\u\\AppData\\Roaming\\Tolvane\\Sound\\ | D:\\T\\Tolvane.exe"},
        {{"D:\\T", '\\', "Tolvane.exe"}, "", {"C:x", "C:x", "U"}, " |  | D:\\T\\Tolvane.exe"},
    };
    // clang-format on
    for (const auto& row : rows) {
        const ProgramPlaces places = LocatePlaces(
            row.program, row.marker ? std::optional<std::string>(row.marker) : std::nullopt,
            row.environment);
        EXPECT_EQ(places.settings.path + " | " + places.ownVoices + " | " +
                      places.launcher.Join(places.launcher.executable),
                  row.places)
            << row.program.path << " " << (row.marker ? row.marker : "portable");
    }
}

}  // namespace
}  // namespace tolvane::testing
