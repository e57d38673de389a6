#pragma once

#include <string_view>

namespace tolvane {

// Byte-wise helpers for the plain-ASCII parts of files and replies. Bytes outside ASCII, such
// as those of Chinese text, are never digits or blanks here and compare only as themselves.

constexpr bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (AsciiLower(text[i]) != AsciiLower(prefix[i])) return false;
    }
    return true;
}

constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && StartsWithIgnoringAsciiCase(a, b);
}

// Without the bytes of `blanks` at either end.
constexpr std::string_view TrimAscii(std::string_view text, std::string_view blanks) {
    while (!text.empty() && blanks.find(text.front()) != std::string_view::npos) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blanks.find(text.back()) != std::string_view::npos) {
        text.remove_suffix(1);
    }
    return text;
}

// Without the spaces and tabs at either end.
constexpr std::string_view TrimSpacesAndTabs(std::string_view text) {
    return TrimAscii(text, " \t");
}

}  // namespace tolvane
