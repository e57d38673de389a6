#include "qt/LinuxUpdateLibrary.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string_view>

#include "TempFolder.h"

namespace tolvane::testing {
namespace {

// Only a file nobody else could have put or changed there is loaded, and nothing blocks.
TEST(LinuxUpdateLibrary, OpensOnlyAFileNobodyElseCanWrite) {
    TempFolder folder("library");
    const std::string real = folder.Put("real.so", "ELF");
    // The library's mode, another owner, or another kind of file in its place.
    const std::pair<std::string_view, bool> rows[] = {
        {"644", true},   {"755", true},      {"664", false},    {"646", false},    {"owner", false},
        {"fifo", false}, {"symlink", false}, {"folder", false}, {"missing", false}};
    for (const auto& [change, trusted] : rows) {
        const std::string path = folder.Put(std::string(change), "ELF");
        const bool mode = change[0] <= '9';
        ::chmod(path.c_str(), mode ? std::stoi(std::string(change), nullptr, 8) : 0644);
        if (change == "owner") {
            ASSERT_EQ(::chown(path.c_str(), 4242, -1), 0);
        }
        if (!mode && change != "owner") ::unlink(path.c_str());
        if (change == "fifo") ::mkfifo(path.c_str(), 0644);
        if (change == "symlink") ::symlink(real.c_str(), path.c_str());
        if (change == "folder") ::mkdir(path.c_str(), 0755);
        EXPECT_EQ(LinuxUpdateLibrary::OpenTrusted(path).IsOpen(), trusted) << change;
    }
}

}  // namespace
}  // namespace tolvane::testing
