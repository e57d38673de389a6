#include "voice/Phrasing.h"

#include <array>
#include <string_view>

#include "voice/ChineseNumerals.h"

namespace tolvane {
namespace {

constexpr std::string_view kMorning = "上午";
constexpr std::string_view kAfternoon = "下午";
constexpr std::string_view kOclock = "点";
constexpr std::string_view kMinute = "分";
constexpr std::string_view kSharp = "整";

// Natural Mandarin, every word of it in one place; the numbers come from ToChineseNumerals.
struct DayPart {
    int firstHour;
    std::string_view word;
};
constexpr std::array<DayPart, 6> kDayParts{{
    {0, "凌晨"},
    {5, "早上"},
    {8, "上午"},
    {12, "中午"},
    {13, "下午"},
    {18, "晚上"},
}};
// Two o'clock is 两点; twelve stays 十二, and two minutes stay 零二分.
constexpr int kTwoOclock = 2;
constexpr std::string_view kTwo = "两";
constexpr int kHalfPast = 30;
constexpr std::string_view kHalf = "半";
constexpr std::string_view kZero = "零";

void AddNumeral(std::vector<std::string>& words, int value) {
    for (std::string& character : Utf8Characters(ToChineseNumerals(value, false, false))) {
        words.push_back(std::move(character));
    }
}

std::string_view DayPartOf(int hour) {
    std::string_view word = kDayParts.front().word;
    for (const DayPart& part : kDayParts) {
        if (hour >= part.firstHour) word = part.word;
    }
    return word;
}

}  // namespace

std::string HalfDayWord(std::string designator, int hour) {
    if (designator == "AM") return std::string(kMorning);
    if (designator == "PM") return std::string(kAfternoon);
    if (designator.empty()) return std::string(hour < 12 ? kMorning : kAfternoon);
    return designator;
}

std::vector<std::string> TimeWords(int hour, int minute, std::int32_t phrasing,
                                   const std::string& halfDayWord) {
    const bool natural = phrasing == static_cast<std::int32_t>(Phrasing::Natural);
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    std::vector<std::string> words{natural ? std::string(DayPartOf(hour)) : halfDayWord};
    if (natural && hour12 == kTwoOclock) {
        words.emplace_back(kTwo);
    } else {
        AddNumeral(words, hour12);
    }
    words.emplace_back(kOclock);
    if (minute == 0) {
        words.emplace_back(kSharp);
    } else if (natural && minute == kHalfPast) {
        words.emplace_back(kHalf);
    } else {
        if (natural && minute < 10) words.emplace_back(kZero);
        AddNumeral(words, minute);
        words.emplace_back(kMinute);
    }
    return words;
}

}  // namespace tolvane
