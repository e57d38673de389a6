#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tolvane {

// How the time of day is put into words.
enum class Phrasing : std::int32_t {
    // 上午/下午 from the locale, the hour on the 12-hour clock, 整 or the minutes and 分.
    Standard = 0,
    // As people say it: the part of the day (凌晨 早上 上午 中午 下午 晚上), 两点 for two o'clock,
    // 半 at half past, 零 before minutes below ten.
    Natural = 1,
};

// The clip words of the time of day that follow 现在时间, one clip each. `halfDayWord` is the
// locale's word for the standard phrasing (see HalfDayWord); a phrasing other than Natural is
// the standard one.
std::vector<std::string> TimeWords(int hour, int minute, std::int32_t phrasing,
                                   const std::string& halfDayWord);

// "AM"/"PM" become 上午/下午; an empty designator falls back to the hour's half of the day.
std::string HalfDayWord(std::string designator, int hour);

}  // namespace tolvane
