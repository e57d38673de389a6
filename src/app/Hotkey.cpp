#include "app/Hotkey.h"

#include <array>

#include "base/AsciiText.h"

namespace tolvane {
namespace {

struct ModifierName {
    std::string_view name;
    std::uint32_t bit;
};

// The first name of each bit is the one written.
constexpr std::array<ModifierName, 6> kModifierNames{{
    {"Ctrl", kHotkeyCtrl},
    {"Alt", kHotkeyAlt},
    {"Shift", kHotkeyShift},
    {"Win", kHotkeyWin},
    {"Control", kHotkeyCtrl},
    {"Super", kHotkeyWin},
}};

// Keys beyond letters, digits and F-keys; all but Pause type or move the caret.
constexpr std::array<std::string_view, 8> kNamedKeys{"Space", "Insert", "Delete",   "Home",
                                                     "End",   "PageUp", "PageDown", "Pause"};

constexpr int kLastFunctionKey = 24;

std::optional<std::string> KeyName(std::string_view part) {
    if (part.size() == 1) {
        const char c = part[0];
        if (IsAsciiDigit(c)) return std::string(1, c);
        const char lower = AsciiLower(c);
        if (lower >= 'a' && lower <= 'z')
            return std::string(1, static_cast<char>(lower - 'a' + 'A'));
        return std::nullopt;
    }
    if (const int f = FunctionKeyNumber(part); f != 0) return "F" + std::to_string(f);
    for (std::string_view name : kNamedKeys) {
        if (EqualsIgnoringAsciiCase(part, name)) return std::string(name);
    }
    return std::nullopt;
}

}  // namespace

std::string_view HotkeyChangeMessage(HotkeyChange change) {
    switch (change) {
        case HotkeyChange::Unreadable:
            return "热键请按 Ctrl+Alt+T 的形式填写";
        case HotkeyChange::Taken:
            return "该热键已被占用";
        case HotkeyChange::Unavailable:
            return "此桌面不支持全局热键";
        case HotkeyChange::Stored:
            break;
    }
    return "";
}

int FunctionKeyNumber(std::string_view key) {
    if (key.size() < 2 || key.size() > 3 || AsciiLower(key[0]) != 'f') return 0;
    int number = 0;
    for (char c : key.substr(1)) {
        if (!IsAsciiDigit(c)) return 0;
        number = number * 10 + (c - '0');
    }
    // "F05" is no key name.
    if (key[1] == '0' || number < 1 || number > kLastFunctionKey) return 0;
    return number;
}

std::optional<Hotkey> ParseHotkey(std::string_view text) {
    text = TrimSpacesAndTabs(text);
    if (text.empty()) return Hotkey{};
    Hotkey hotkey;
    while (true) {
        const std::size_t plus = text.find('+');
        const std::string_view part = TrimSpacesAndTabs(text.substr(0, plus));
        if (plus == std::string_view::npos) {
            std::optional<std::string> key = KeyName(part);
            if (!key) return std::nullopt;
            hotkey.key = std::move(*key);
            break;
        }
        std::uint32_t bit = 0;
        for (const ModifierName& modifier : kModifierNames) {
            if (EqualsIgnoringAsciiCase(part, modifier.name)) bit = modifier.bit;
        }
        if (bit == 0 || (hotkey.modifiers & bit) != 0) return std::nullopt;
        hotkey.modifiers |= bit;
        text.remove_prefix(plus + 1);
    }
    const bool standsAlone = FunctionKeyNumber(hotkey.key) != 0 || hotkey.key == "Pause";
    if (!standsAlone && (hotkey.modifiers & (kHotkeyCtrl | kHotkeyAlt | kHotkeyWin)) == 0) {
        return std::nullopt;
    }
    return hotkey;
}

std::optional<std::string> RecordHotkey(std::uint32_t modifiers, std::string_view key) {
    const bool chord = (modifiers & (kHotkeyCtrl | kHotkeyAlt | kHotkeyWin)) != 0;
    if (!chord && (key == "Backspace" || key == "Delete")) return std::string();
    // A key name with a '+' or blanks in it would parse as something else.
    if (key.empty() || key.find_first_of("+ \t") != std::string_view::npos) return std::nullopt;
    const std::optional<Hotkey> hotkey =
        ParseHotkey(FormatHotkey(Hotkey{modifiers & 15u, std::string(key)}));
    if (!hotkey || hotkey->IsNone()) return std::nullopt;
    return FormatHotkey(*hotkey);
}

std::string FormatHotkey(const Hotkey& hotkey) {
    if (hotkey.IsNone()) return "";
    std::string text;
    for (std::size_t i = 0; i < 4; ++i) {
        if ((hotkey.modifiers & kModifierNames[i].bit) != 0) {
            text += kModifierNames[i].name;
            text += '+';
        }
    }
    return text + hotkey.key;
}

}  // namespace tolvane
