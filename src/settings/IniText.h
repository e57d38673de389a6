#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Profile-file semantics on the bytes of an INI file held in memory, matching the Windows
// profile functions wherever a well-formed settings file can tell the difference.
namespace tolvane::ini {

// Raw value of `key` (trimmed, quotes not yet removed); nullopt when the section or key is
// missing or the key's line has no '='. Only the first section of a name is searched and the
// first matching key wins.
std::optional<std::string_view> FindValue(std::string_view text, std::string_view section,
                                          std::string_view key);

// What GetPrivateProfileString yields for a buffer of `size` bytes.
std::string GetString(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view defaultValue, std::int32_t size);

// What GetPrivateProfileInt yields.
std::int32_t GetInt(std::string_view text, std::string_view section, std::string_view key,
                    std::int32_t defaultValue);

// The leading number of a profile value: optional sign, "0x"/"0o"/"0b" prefixes, wrapping
// modulo 2^32 like the Windows conversion does.
std::int32_t ParseProfileInt(std::string_view value);

// Whether the names and value can be stored as one line that reads back as the same key: no
// line breaks or NULs, non-empty names, no '=' in the key and no key that starts like a section.
bool IsStorable(std::string_view section, std::string_view key, std::string_view value);

// The file text after storing `value` under `key`: the value replaced in place, or the key
// added after the last entry of its section, or the section added at the end. Every other byte
// is kept. nullopt when the names or value cannot be stored without breaking the file's lines.
std::optional<std::string> SetValue(std::string_view text, std::string_view section,
                                    std::string_view key, std::string_view value);

}  // namespace tolvane::ini
