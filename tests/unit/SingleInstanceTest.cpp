#include "qt/SingleInstance.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>

#include "TempFolder.h"

namespace tolvane::testing {
namespace {

// A private runtime folder, set as XDG_RUNTIME_DIR for the test's lifetime.
std::string TempFolderPut(const std::string& folder, const std::string& name,
                          const std::string& bytes) {
    const std::string path = folder + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

class RuntimeFolder {
public:
    RuntimeFolder() : m_folder("runtime") {
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        if (old != nullptr) m_old = old;
        ::setenv("XDG_RUNTIME_DIR", Path().c_str(), 1);
    }
    ~RuntimeFolder() {
        if (m_old.empty()) {
            ::unsetenv("XDG_RUNTIME_DIR");
        } else {
            ::setenv("XDG_RUNTIME_DIR", m_old.c_str(), 1);
        }
    }
    const std::string& Path() const { return m_folder.Path(); }

private:
    TempFolder m_folder;
    std::string m_old;
};

TEST(SingleInstance, OnlyOneHolderPerTitleAtATime) {
    RuntimeFolder folder;
    auto first = std::make_unique<SingleInstance>("Tolvane Ver:3.0.0.0");
    EXPECT_TRUE(first->IsFirst());
    EXPECT_FALSE(SingleInstance("Tolvane Ver:3.0.0.0").IsFirst());
    EXPECT_TRUE(SingleInstance("Another Title").IsFirst());
    first.reset();
    EXPECT_TRUE(SingleInstance("Tolvane Ver:3.0.0.0").IsFirst());
}

TEST(SingleInstance, WithoutRuntimeFolderUsesOnlyAPrivateFallback) {
    RuntimeFolder folder;
    ::setenv("XDG_RUNTIME_DIR", (folder.Path() + "/missing").c_str(), 1);
    const std::string fallback = folder.Path() + "/tolvane-" + std::to_string(::getuid());

    // A fallback folder created here is private and works as the marker's home.
    auto first = std::make_unique<SingleInstance>("Tolvane Ver:3.0.0.0", folder.Path());
    EXPECT_TRUE(first->IsFirst());
    EXPECT_FALSE(SingleInstance("Tolvane Ver:3.0.0.0", folder.Path()).IsFirst());
    first.reset();

    // Someone else's open folder is never used: the program runs rather than trust it.
    ::chmod(fallback.c_str(), 0777);
    EXPECT_TRUE(SingleInstance("Tolvane Ver:3.0.0.0", folder.Path()).IsFirst());
    EXPECT_TRUE(SingleInstance("Tolvane Ver:3.0.0.0", folder.Path()).IsFirst());
}

// Whatever keeps the runtime folder's marker from working sends every copy to the same private
// fallback, where the guard still holds; only another copy's lock keeps a copy out.
TEST(SingleInstance, AnUnusableRuntimeMarkerFallsBackToThePrivateFolder) {
    const std::string title = "Tolvane Ver:3.0.0.0";
    struct Row {
        const char* name;
        std::function<std::string(const std::string& runtime)> arrange;  // the runtime value
        bool fallsBack;
    };
    // clang-format off
    const Row rows[] = {
        {"usable_runtime_folder", [](const std::string& r) { return r; }, false},
        {"missing_runtime_folder", [](const std::string& r) { return r + "/missing"; }, true},
        {"runtime_not_absolute", [](const std::string&) { return std::string("relative"); }, true},
        {"runtime_is_a_file", [](const std::string& r) { TempFolderPut(r, "file", ""); return r + "/file"; }, true},
        {"runtime_below_a_file", [](const std::string& r) { TempFolderPut(r, "file", ""); return r + "/file/sub"; }, true},
        {"folder_at_the_marker", [&](const std::string& r) { ::mkdir((r + "/" + title + ".lock").c_str(), 0700); return r; }, true},
        {"dangling_link_at_the_marker", [&](const std::string& r) { (void)::symlink("nowhere", (r + "/" + title + ".lock").c_str()); return r; }, true},
        {"link_to_a_file_at_the_marker", [&](const std::string& r) { TempFolderPut(r, "real", ""); (void)::symlink("real", (r + "/" + title + ".lock").c_str()); return r; }, true},
        {"fifo_at_the_marker", [&](const std::string& r) { ::mkfifo((r + "/" + title + ".lock").c_str(), 0600); return r; }, true},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RuntimeFolder folder;
        TempFolder fallbackRoot("fallback");
        ::setenv("XDG_RUNTIME_DIR", row.arrange(folder.Path()).c_str(), 1);
        const std::string fallback = fallbackRoot.Path() + "/tolvane-" + std::to_string(::getuid());
        const std::string expected =
            (row.fallsBack ? fallback : folder.Path()) + "/" + title + ".lock";
        {
            SingleInstance first(title, fallbackRoot.Path());
            EXPECT_TRUE(first.IsFirst());
            EXPECT_EQ(first.LockPath(), expected);
            EXPECT_FALSE(SingleInstance(title, fallbackRoot.Path()).IsFirst());
        }
        EXPECT_TRUE(SingleInstance(title, fallbackRoot.Path()).IsFirst());
    }
}

TEST(SingleInstance, AMarkerOfAnotherUserIsNotOurs) {
    RuntimeFolder folder;
    TempFolder fallbackRoot("fallback");
    const std::string marker = folder.Path() + "/Tolvane Ver:3.0.0.0.lock";
    TempFolderPut(folder.Path(), "Tolvane Ver:3.0.0.0.lock", "");
    if (::chown(marker.c_str(), ::getuid() + 1, static_cast<gid_t>(-1)) != 0) {
        GTEST_SKIP() << "only root can give a file away";
    }
    SingleInstance first("Tolvane Ver:3.0.0.0", fallbackRoot.Path());
    EXPECT_TRUE(first.IsFirst());
    EXPECT_EQ(first.LockPath().rfind(fallbackRoot.Path(), 0), 0u);
    EXPECT_FALSE(SingleInstance("Tolvane Ver:3.0.0.0", fallbackRoot.Path()).IsFirst());
}

TEST(SingleInstance, RunsUnguardedOnlyWhenNeitherPlaceWorks) {
    RuntimeFolder folder;
    ::mkdir((folder.Path() + "/Tolvane Ver:3.0.0.0.lock").c_str(), 0700);
    const std::string noFallback = TempFolderPut(folder.Path(), "not-a-folder", "");
    SingleInstance first("Tolvane Ver:3.0.0.0", noFallback);
    EXPECT_TRUE(first.IsFirst());
    EXPECT_EQ(first.LockPath(), "");
    EXPECT_TRUE(SingleInstance("Tolvane Ver:3.0.0.0", noFallback).IsFirst());
}

}  // namespace
}  // namespace tolvane::testing
