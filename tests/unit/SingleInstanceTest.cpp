#include "qt/SingleInstance.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "TempFolder.h"

namespace tolvane::testing {
namespace {

// A private runtime folder, set as XDG_RUNTIME_DIR for the test's lifetime.
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

}  // namespace
}  // namespace tolvane::testing
