#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tolvane {

// Chinese numeral text of `value`: positional (二十八, with 十 百 千 万 亿) or digit by digit
// (二零一零), in plain characters or, with `financial`, as a cheque amount (壹拾元伍角整).
std::string ToChineseNumerals(double value, bool financial, bool digitByDigit);

// The characters of a UTF-8 text, one string each (one clip per character).
std::vector<std::string> Utf8Characters(std::string_view text);

}  // namespace tolvane
