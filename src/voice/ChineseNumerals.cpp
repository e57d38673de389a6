#include "voice/ChineseNumerals.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace tolvane {
namespace {

struct NumeralTables {
    std::array<std::string_view, 11> digits;  // 0..9, then ten
    std::array<std::string_view, 11> places;  // place word for 1..11 digits to the right
};

constexpr NumeralTables kPlain{
    {"零", "一", "二", "三", "四", "五", "六", "七", "八", "九", "十"},
    {"十", "百", "千", "万", "十", "百", "千", "亿", "十", "百", "千"},
};
constexpr NumeralTables kFinancial{
    {"零", "壹", "贰", "叁", "肆", "伍", "陆", "柒", "捌", "玖", "拾"},
    {"拾", "佰", "仟", "万", "拾", "佰", "仟", "亿", "拾", "佰", "仟"},
};

constexpr std::string_view kZero = "零";
constexpr std::string_view kTenThousand = "万";
constexpr std::string_view kHundredMillion = "亿";
constexpr std::string_view kMinus = "负";
constexpr std::string_view kPoint = "点";
constexpr std::size_t kMaxPlace = 11;
constexpr int kFractionPlaces = 4;

bool EndsWith(const std::string& s, std::string_view tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

void RemoveTrailingZeros(std::string& s) {
    while (EndsWith(s, kZero)) s.resize(s.size() - kZero.size());
}

void CollapseZeroRuns(std::string& s) {
    const std::string twoZeros = std::string(kZero) + std::string(kZero);
    std::string out;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = s.find(twoZeros, pos)) != std::string::npos;
         pos = hit + twoZeros.size()) {
        out.append(s, pos, hit - pos);
        out += kZero;
    }
    out.append(s, pos, std::string::npos);
    s = std::move(out);
}

// Decimal digits of a non-negative whole number.
std::string WholeDigits(double whole) {
    std::array<char, 400> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.0f", whole);
    return buffer.data();
}

bool IsTeen(double whole) {
    return whole >= 10 && whole < 20;
}

std::string Positional(std::string_view digits, bool teenRule, double whole,
                       const NumeralTables& tables) {
    std::string result;
    if (teenRule && IsTeen(whole)) {
        result = tables.digits[10];
        digits = digits.substr(digits.size() - 1);
    }
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int digit = digits[i] - '0';
        const std::size_t place = n - 1 - i;
        result += tables.digits[digit];
        if (digit != 0 && place >= 1 && place <= kMaxPlace) result += tables.places[place - 1];
        if (digit == 0 && (place == 0 || place == 4 || place == 8)) {
            RemoveTrailingZeros(result);
            // A 万 group that is all zeros right after 亿 is not spoken (一亿, not 一亿万).
            if (place == 4 && !EndsWith(result, kHundredMillion)) result += kTenThousand;
            if (place == 8) result += kHundredMillion;
        }
        CollapseZeroRuns(result);
    }
    RemoveTrailingZeros(result);
    return result;
}

std::string DigitByDigit(std::string_view digits, double whole, const NumeralTables& tables) {
    std::string result;
    if (IsTeen(whole)) {
        result = tables.digits[10];
        digits = digits.substr(digits.size() - 1);
    }
    for (char c : digits) result += tables.digits[c - '0'];
    return result;
}

// The fraction's digits, at most four places, trailing zeros dropped; empty for none.
std::string FractionDigits(double fraction, int places) {
    const double scale = std::pow(10.0, places);
    long long scaled = std::llround(fraction * scale);
    if (scaled >= static_cast<long long>(scale)) scaled = static_cast<long long>(scale) - 1;
    if (scaled <= 0) return {};
    std::string digits = std::to_string(scaled);
    digits.insert(0, static_cast<std::size_t>(places) - digits.size(), '0');
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    return digits;
}

std::string Plain(double value, bool digitByDigit) {
    std::string out;
    if (value < 0) {
        out = kMinus;
        value = -value;
    }
    const double whole = std::floor(value);
    const std::string digits = WholeDigits(whole);
    if (digitByDigit || digits.size() > kMaxPlace + 1) {
        out += DigitByDigit(digits, whole, kPlain);
    } else if (whole == 0) {
        out += kZero;
    } else {
        out += Positional(digits, true, whole, kPlain);
    }
    const std::string fraction = FractionDigits(value - whole, kFractionPlaces);
    if (!fraction.empty()) {
        out += kPoint;
        for (char c : fraction) out += kPlain.digits[c - '0'];
    }
    return out;
}

// A cheque amount: 壹仟零肆元伍角整, 壹拾元零伍分, 零元整.
std::string Financial(double value) {
    std::string out;
    if (value < 0) {
        out = kMinus;
        value = -value;
    }
    double whole = std::floor(value);
    long long cents = std::llround((value - whole) * 100);
    if (cents >= 100) {
        whole += 1;
        cents = 0;
    }
    const std::string digits = WholeDigits(whole);
    const int jiao = static_cast<int>(cents / 10);
    const int fen = static_cast<int>(cents % 10);
    if (whole > 0) {
        out += digits.size() > kMaxPlace + 1 ? DigitByDigit(digits, 0, kFinancial)
                                             : Positional(digits, false, whole, kFinancial);
        out += "元";
    }
    if (cents == 0) {
        if (whole == 0) out += std::string(kZero) + "元";
        return out + "整";
    }
    if (jiao > 0) {
        out += std::string(kFinancial.digits[jiao]) + "角";
    } else if (whole > 0) {
        out += kZero;
    }
    if (fen > 0) return out + std::string(kFinancial.digits[fen]) + "分";
    return out + "整";
}

}  // namespace

std::string ToChineseNumerals(double value, bool financial, bool digitByDigit) {
    if (!std::isfinite(value)) return {};
    return financial ? Financial(value) : Plain(value, digitByDigit);
}

std::vector<std::string> Utf8Characters(std::string_view text) {
    std::vector<std::string> characters;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t length = 1;
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead >= 0xF0) {
            length = 4;
        } else if (lead >= 0xE0) {
            length = 3;
        } else if (lead >= 0xC0) {
            length = 2;
        }
        length = std::min(length, text.size() - i);
        characters.emplace_back(text.substr(i, length));
        i += length;
    }
    return characters;
}

}  // namespace tolvane
