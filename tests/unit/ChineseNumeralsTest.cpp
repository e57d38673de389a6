#include "voice/ChineseNumerals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tolvane::testing {
namespace {

struct NumeralRow {
    double value;
    const char* positional;
    const char* digitByDigit;
};

TEST(ToChineseNumerals, ReadsAsThePlaceRulesGiveIt) {
    const NumeralRow rows[] = {
        // value       positional            digit by digit
        {1, "一", "一"},
        {9, "九", "九"},
        {10, "十", "十零"},
        {11, "十一", "十一"},
        {12, "十二", "十二"},
        {15, "十五", "十五"},
        {19, "十九", "十九"},
        {20, "二十", "二零"},
        {21, "二十一", "二一"},
        {28, "二十八", "二八"},
        {30, "三十", "三零"},
        {45, "四十五", "四五"},
        {50, "五十", "五零"},
        {59, "五十九", "五九"},
        {100, "一百", "一零零"},
        {101, "一百零一", "一零一"},
        {110, "一百一十", "一一零"},
        {1001, "一千零一", "一零零一"},
        {1010, "一千零一十", "一零一零"},
        {1100, "一千一百", "一一零零"},
        {10001, "一万零一", "一零零零一"},
        {100000, "一十万", "一零零零零零"},
        {100010, "一十万零一十", "一零零零一零"},
        {1999, "一千九百九十九", "一九九九"},
        {2000, "二千", "二零零零"},
        {2001, "二千零一", "二零零一"},
        {2010, "二千零一十", "二零一零"},
        {2026, "二千零二十六", "二零二六"},
        {2100, "二千一百", "二一零零"},
        {10000, "一万", "一零零零零"},
        {1000000, "一百万", "一零零零零零零"},
        {100000000, "一亿", "一零零零零零零零零"},
        {100010000, "一亿零一万", "一零零零一零零零零"},
        {1000000000, "一十亿", "一零零零零零零零零零"},
        {123456789012, "一千二百三十四亿五千六百七十八万九千零一十二", "一二三四五六七八九零一二"},
    };
    for (const NumeralRow& row : rows) {
        EXPECT_EQ(ToChineseNumerals(row.value, false, false), row.positional) << row.value;
        EXPECT_EQ(ToChineseNumerals(row.value, false, true), row.digitByDigit) << row.value;
    }
}

TEST(ToChineseNumerals, EveryMinuteAndHourSpokenByTheClock) {
    const char* kDigits[] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
    for (int value = 1; value <= 59; ++value) {
        std::string expected;
        const int tens = value / 10;
        const int units = value % 10;
        if (tens == 1) {
            expected = "十";
        } else if (tens > 1) {
            expected = std::string(kDigits[tens]) + "十";
        }
        expected += kDigits[units];
        EXPECT_EQ(ToChineseNumerals(value, false, false), expected) << value;
    }
}

TEST(ToChineseNumerals, YearsDigitByDigitKeepEveryZero) {
    const char* kDigits[] = {"零", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
    for (int year = 1999; year <= 2100; ++year) {
        std::string expected;
        for (char c : std::to_string(year)) expected += kDigits[c - '0'];
        EXPECT_EQ(ToChineseNumerals(year, false, true), expected) << year;
    }
}

TEST(ToChineseNumerals, ValuesNoCallerPasses) {
    const struct {
        double value;
        bool digitByDigit;
        const char* expected;
    } rows[] = {
        {0, false, "零"},
        {0, true, "零"},
        {0.5, false, "零点五"},
        {3.25, false, "三点二五"},
        {12.5, false, "十二点五"},
        {2.00001, false, "二"},
        {7.99999, false, "七点九九九九"},
        {2010.5, true, "二零一零点五"},
        {-5, false, "负五"},
        {-28, false, "负二十八"},
        {-0.0, false, "零"},
        {1234567890123.0, false, "一二三四五六七八九零一二三"},
        {1e20, false, "一零零零零零零零零零零零零零零零零零零零零"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ToChineseNumerals(row.value, false, row.digitByDigit), row.expected) << row.value;
    }
    EXPECT_EQ(ToChineseNumerals(std::numeric_limits<double>::quiet_NaN(), false, false), "");
    EXPECT_EQ(ToChineseNumerals(std::numeric_limits<double>::infinity(), false, false), "");
    EXPECT_FALSE(ToChineseNumerals(1e300, false, false).empty());
    EXPECT_FALSE(ToChineseNumerals(-1e300, true, false).empty());
}

TEST(ToChineseNumerals, FinancialReadsLikeACheque) {
    const struct {
        double value;
        const char* expected;
    } rows[] = {
        {0, "零元整"},
        {1, "壹元整"},
        {10, "壹拾元整"},
        {15, "壹拾伍元整"},
        {100, "壹佰元整"},
        {1004, "壹仟零肆元整"},
        {100000, "壹拾万元整"},
        {1234.56, "壹仟贰佰叁拾肆元伍角陆分"},
        {1004.5, "壹仟零肆元伍角整"},
        {10.05, "壹拾元零伍分"},
        {0.5, "伍角整"},
        {0.05, "伍分"},
        {0.999, "壹元整"},
        {-3.2, "负叁元贰角整"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ToChineseNumerals(row.value, true, false), row.expected) << row.value;
    }
}

TEST(Utf8Characters, SplitsIntoWholeCharacters) {
    EXPECT_EQ(Utf8Characters("二十八"), (std::vector<std::string>{"二", "十", "八"}));
    EXPECT_EQ(Utf8Characters("a十"), (std::vector<std::string>{"a", "十"}));
    EXPECT_EQ(Utf8Characters(""), std::vector<std::string>{});
    EXPECT_EQ(Utf8Characters("\xE5\x8D"), (std::vector<std::string>{"\xE5\x8D"}));
}

}  // namespace
}  // namespace tolvane::testing
