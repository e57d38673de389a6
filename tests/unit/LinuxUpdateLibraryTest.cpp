#include "qt/LinuxUpdateLibrary.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>

#include "TempFolder.h"

namespace tolvane::testing {
namespace {

// Only a file nobody else could have put or changed there is loaded, and nothing blocks.
TEST(LinuxUpdateLibrary, OpensOnlyAFileNobodyElseCanWrite) {
    struct Row {
        const char* name;
        std::function<void(const std::string& path)> arrange;
        bool trusted;
    };
    TempFolder folder("library");
    const std::string real = folder.Put("real.so", "ELF");
    const Row rows[] = {
        {"own_0644", [](const std::string& p) { ::chmod(p.c_str(), 0644); }, true},
        {"own_0755", [](const std::string& p) { ::chmod(p.c_str(), 0755); }, true},
        {"group_writable", [](const std::string& p) { ::chmod(p.c_str(), 0664); }, false},
        {"world_writable", [](const std::string& p) { ::chmod(p.c_str(), 0646); }, false},
        {"foreign_owner", [](const std::string& p) { ASSERT_EQ(::chown(p.c_str(), 4242, -1), 0); },
         false},
        {"fifo", [](const std::string& p) { ::unlink(p.c_str()), ::mkfifo(p.c_str(), 0644); },
         false},
        {"symlink_to_a_good_file",
         [&](const std::string& p) { ::unlink(p.c_str()), ::symlink(real.c_str(), p.c_str()); },
         false},
        {"folder", [](const std::string& p) { ::unlink(p.c_str()), ::mkdir(p.c_str(), 0755); },
         false},
        {"missing", [](const std::string& p) { ::unlink(p.c_str()); }, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = folder.Put(row.name, "ELF");
        ::chmod(path.c_str(), 0644);
        row.arrange(path);
        EXPECT_EQ(LinuxUpdateLibrary::OpenTrusted(path).IsOpen(), row.trusted);
    }
}

}  // namespace
}  // namespace tolvane::testing
