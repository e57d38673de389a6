#include <gtest/gtest.h>

#include "app/Hotkey.h"

namespace tolvane::testing {
namespace {

TEST(Hotkey, StoredFormReadInAnyCaseAndWrittenCanonically) {
    // clang-format off
    const std::pair<const char*, const char*> rows[] = {
        {"Ctrl+Alt+T", "Ctrl+Alt+T"}, {" alt + CONTROL + t ", "Ctrl+Alt+T"}, {"F9", "F9"},
        {"super+shift+ctrl+9", "Ctrl+Shift+Win+9"}, {"shift+f24", "Shift+F24"}, {"Pause", "Pause"},
        {"Ctrl+Alt+pagedown", "Ctrl+Alt+PageDown"}, {"", ""}, {" \t", ""},
        // Unreadable, or a typing key that every program would lose.
        {"T", nullptr}, {"Shift+T", nullptr}, {"Space", nullptr}, {"Ctrl+Ctrl+T", nullptr},
        {"Ctrl++T", nullptr}, {"Ctrl+Alt", nullptr}, {"Ctrl+Alt+", nullptr}, {"Ctrl+F0", nullptr},
        {"Ctrl+Alt+TT", nullptr}, {"Ctrl+Alt+T+U", nullptr}, {"Hyper+T", nullptr},
        {"Ctrl+F25", nullptr}, {"Ctrl+F05", nullptr}, {"Ctrl+Alt+时", nullptr},
    };
    // clang-format on
    for (const auto& [text, canonical] : rows) {
        const std::optional<Hotkey> hotkey = ParseHotkey(text);
        ASSERT_EQ(hotkey.has_value(), canonical != nullptr) << text;
        if (!hotkey) continue;
        EXPECT_EQ(FormatHotkey(*hotkey), canonical) << text;
        EXPECT_EQ(ParseHotkey(canonical), hotkey) << text;
    }
}

}  // namespace
}  // namespace tolvane::testing
