#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tolvane {

// The modifiers of a hotkey, as bits.
enum HotkeyModifier : std::uint32_t {
    kHotkeyCtrl = 1,
    kHotkeyAlt = 2,
    kHotkeyShift = 4,
    kHotkeyWin = 8,  // the Windows key, Super on Linux
};

// One global hotkey: modifiers and one key, named as FormatHotkey writes it ("T", "7", "F5",
// "Space", "PageUp" ...). An empty key is no hotkey at all.
struct Hotkey {
    std::uint32_t modifiers = 0;
    std::string key;

    bool IsNone() const { return key.empty(); }
    friend bool operator==(const Hotkey&, const Hotkey&) = default;
};

// The stored form "Ctrl+Alt+T": modifiers (Ctrl, Alt, Shift, Win; Control and Super too) and a
// key joined by '+', any letter case, blanks around the parts ignored. Blank text is no hotkey.
// nullopt for anything else, and for a typing key (a letter, a digit, Space, the editing and
// paging keys) without Ctrl, Alt or Win, which would take that key from every program; F1-F24
// and Pause may stand alone.
std::optional<Hotkey> ParseHotkey(std::string_view text);

// What a key pressed in the hotkey field makes of the field's text. `key` is named as in
// FormatHotkey, or "Backspace". The combination, canonical, when a hotkey may be made of it;
// "" for Backspace or Delete without Ctrl, Alt or Win, which clear the field; nullopt for any
// other key, which then types as in any text field (so "Ctrl+Alt+T" can still be typed).
std::optional<std::string> RecordHotkey(std::uint32_t modifiers, std::string_view key);

// The canonical stored form: "Ctrl+Alt+Shift+Win+" in this order, then the key; "" for none.
std::string FormatHotkey(const Hotkey& hotkey);

// What became of a hotkey typed on the settings page.
enum class HotkeyChange { Stored, Unreadable, Taken, Unavailable };

// The page's message for a change that was not stored; empty for Stored.
std::string_view HotkeyChangeMessage(HotkeyChange change);

// The F-key number of a key name "F1" ... "F24"; 0 for any other key.
int FunctionKeyNumber(std::string_view key);

}  // namespace tolvane
