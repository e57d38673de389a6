// Reads an INI text, stores one key, reads again: the stored key reads back and every other key
// keeps its value. The value, read as a time or a number of the 高级设置 page, is one in range
// or none, and a time written back reads as itself.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>
#include <string_view>

#include "settings/CustomVariables.h"
#include "settings/IniText.h"

namespace {

using tolvane::ini::FindValue;

constexpr std::string_view kSections[] = {"Tolvane", "Other", "t"};
constexpr std::string_view kKeys[] = {"报时设置", "格式设置", "广告设置", "关闭报时", "自动校时",
                                      "广告日期", "k",        "K",        "a b",      "x"};

void Check(bool ok) {
    if (!ok) std::abort();
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

}  // namespace

// Input: [section selector][key selector][value length][value][file text].
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const std::string_view section = kSections[data[0] % std::size(kSections)];
    const std::string_view key = kKeys[data[1] % std::size(kKeys)];
    const std::size_t valueLength = std::min<std::size_t>(data[2], size - 3);
    const std::string_view value(reinterpret_cast<const char*>(data) + 3, valueLength);
    const std::string_view text(reinterpret_cast<const char*>(data) + 3 + valueLength,
                                size - 3 - valueLength);

    for (std::string_view s : kSections) {
        for (std::string_view k : kKeys) {
            tolvane::ini::GetString(text, s, k, "", 12);
            tolvane::ini::GetInt(text, s, k, 0);
        }
    }

    if (const std::optional<std::int32_t> minute = tolvane::ParseClockTime(value)) {
        Check(*minute >= 0 && *minute < 24 * 60);
        Check(tolvane::ParseClockTime(tolvane::ClockTimeText(*minute)) == minute);
    }
    const std::optional<std::int32_t> number = tolvane::ParseSettingNumber(value, 0, 100);
    Check(!number || (*number >= 0 && *number <= 100));

    const std::optional<std::string> written = tolvane::ini::SetValue(text, section, key, value);
    if (!written) return 0;
    const std::optional<std::string_view> readBack = FindValue(*written, section, key);
    Check(readBack.has_value() && *readBack == Trim(value));

    for (std::string_view s : kSections) {
        for (std::string_view k : kKeys) {
            if (s == section && SameName(k, key)) continue;
            Check(FindValue(text, s, k) == FindValue(*written, s, k));
        }
    }
    return 0;
}
