#include "timesync/DaytimeReply.h"

#include <array>
#include <chrono>
#include <vector>

#include "base/AsciiText.h"

namespace tolvane {
namespace {

constexpr std::array<std::string_view, 12> kMonthNames{"JAN", "FEB", "MAR",  "APR", "MAY", "JUN",
                                                       "JUL", "AUG", "SEPT", "OCT", "NOV", "DEC"};
// September as the C library, and so xinetd, writes it.
constexpr std::string_view kShortSeptember = "SEP";

constexpr std::string_view kBlanks = " \t\r\n";

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        if (at == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, at - start));
        start = at + 1;
    }
}

// A decimal field with surrounding blanks ignored; nothing else may be in it, and it must fit
// an unsigned 16-bit field.
std::optional<std::uint16_t> Decimal16(std::string_view text) {
    text = TrimAscii(text, kBlanks);
    if (text.empty()) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text) {
        if (!IsAsciiDigit(c)) return std::nullopt;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
        if (value > 0xFFFF) return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

// Exactly `count` digits at `text[at]`.
std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) return std::nullopt;
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (!IsAsciiDigit(text[i])) return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// Minutes east of UTC of a zone token that means one thing everywhere: UTC, GMT, UT, Z, or
// +hhmm / +hh:mm within 14 hours. Names such as CST stand for several zones and give nullopt,
// like anything else, so the line keeps being read as local time.
std::optional<int> ZoneOffsetMinutes(std::string_view token) {
    token = TrimAscii(token, kBlanks);
    for (std::string_view name : {"UTC", "GMT", "UT", "Z"}) {
        if (EqualsIgnoringAsciiCase(token, name)) return 0;
    }
    const bool colon = token.size() == 6 && token[3] == ':';
    if (token.size() != (colon ? 6u : 5u) || (token[0] != '+' && token[0] != '-')) {
        return std::nullopt;
    }
    const auto hours = Digits(token, 1, 2);
    const auto minutes = Digits(token, colon ? 4 : 3, 2);
    if (!hours || !minutes || *minutes > 59 || *hours * 60 + *minutes > 14 * 60) {
        return std::nullopt;
    }
    const int offset = *hours * 60 + *minutes;
    return token[0] == '-' ? -offset : offset;
}

}  // namespace

std::string MonthFromName(std::string_view name) {
    for (std::size_t i = 0; i < kMonthNames.size(); ++i) {
        if (EqualsIgnoringAsciiCase(name, kMonthNames[i])) return std::to_string(i + 1);
    }
    if (EqualsIgnoringAsciiCase(name, kShortSeptember)) return "9";
    return {};
}

std::optional<ClockRecord> ParseClassicReply(std::string_view reply) {
    const std::vector<std::string_view> tokens = Split(reply, ' ');
    if (tokens.size() < 4) return std::nullopt;
    const std::vector<std::string_view> time = Split(tokens[3], ':');
    if (time.size() < 3) return std::nullopt;

    const auto year = Decimal16(tokens[2]);
    const auto month = Decimal16(MonthFromName(tokens[1]));
    const auto day = Decimal16(tokens[0]);
    const auto hour = Decimal16(time[0]);
    const auto minute = Decimal16(time[1]);
    const auto second = Decimal16(time[2]);
    if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;

    ClockRecord record;
    record.year = *year;
    record.month = *month;
    record.day = *day;
    record.hour = *hour;
    record.minute = *minute;
    record.second = *second;
    record.milliseconds = kWholeSecondMiddleMs;
    if (tokens.size() > 4) {
        if (const auto offset = ZoneOffsetMinutes(tokens[4])) {
            // Date arithmetic needs a real date; the caller refuses the rest anyway.
            if (!IsSettableClockRecord(record)) return std::nullopt;
            record = ShiftedBy(record, -std::int64_t{*offset} * 60000);
            record.utc = true;
        }
    }
    return record;
}

std::optional<ClockRecord> ParseNistReply(std::string_view reply) {
    // NIST sends an empty line first; blanks may also close the line.
    while (!reply.empty() && (reply.front() == '\r' || reply.front() == '\n')) {
        reply.remove_prefix(1);
    }
    reply = reply.substr(0, reply.find_last_not_of(kBlanks) + 1);

    // "JJJJJ YY-MM-DD HH:MM:SS TT L H" has fixed columns.
    constexpr std::string_view kShape = "00000 00-00-00 00:00:00 00 0 0 ";
    if (reply.size() < kShape.size()) return std::nullopt;
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        const bool wantDigit = kShape[i] == '0';
        if (wantDigit ? !IsAsciiDigit(reply[i]) : reply[i] != kShape[i]) return std::nullopt;
    }
    const int mjd = *Digits(reply, 0, 5);
    const int yy = *Digits(reply, 6, 2);
    const int mm = *Digits(reply, 9, 2);
    const int dd = *Digits(reply, 12, 2);
    const int health = *Digits(reply, 29, 1);
    if (*Digits(reply, 27, 1) > 2 || health != 0) return std::nullopt;

    // "msADV UTC(NIST) *": the advance is right-aligned, so spaces may lead it.
    std::string_view rest = reply.substr(kShape.size());
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    std::size_t digits = 0;
    while (digits < rest.size() && IsAsciiDigit(rest[digits])) ++digits;
    if (digits == 0 || digits > 4 || rest.size() < digits + 2 || rest[digits] != '.' ||
        !IsAsciiDigit(rest[digits + 1]) || rest.substr(digits + 2) != " UTC(NIST) *") {
        return std::nullopt;
    }

    // The Modified Julian Date must name the same day; it also gives the century.
    using namespace std::chrono;
    const year_month_day date{sys_days{year{1858} / November / 17} + days{mjd}};
    if (static_cast<int>(date.year()) % 100 != yy ||
        static_cast<unsigned>(date.month()) != static_cast<unsigned>(mm) ||
        static_cast<unsigned>(date.day()) != static_cast<unsigned>(dd)) {
        return std::nullopt;
    }

    ClockRecord record;
    record.year = static_cast<std::uint16_t>(static_cast<int>(date.year()));
    record.month = static_cast<std::uint16_t>(mm);
    record.day = static_cast<std::uint16_t>(dd);
    record.hour = static_cast<std::uint16_t>(*Digits(reply, 15, 2));
    record.minute = static_cast<std::uint16_t>(*Digits(reply, 18, 2));
    record.second = static_cast<std::uint16_t>(*Digits(reply, 21, 2));
    record.utc = true;
    return record;
}

bool IsSettableClockRecord(const ClockRecord& record) {
    if (record.year < 1601 || record.year > 30827) return false;
    if (record.month < 1 || record.month > 12) return false;
    // std::chrono::day keeps only values up to 255: 257 would pass as day 1.
    if (record.day < 1 || record.day > 31) return false;
    if (record.hour > 23 || record.minute > 59 || record.second > 59) return false;
    if (record.milliseconds > 999) return false;
    using namespace std::chrono;
    const year_month_day date{year{record.year}, month{record.month}, day{record.day}};
    return date.ok();
}

ClockRecord ShiftedBy(const ClockRecord& record, std::int64_t milliseconds) {
    using namespace std::chrono;
    const sys_days date{year{record.year} / month{record.month} / day{record.day}};
    const sys_time<std::chrono::milliseconds> moment =
        date + hours{record.hour} + minutes{record.minute} + seconds{record.second} +
        std::chrono::milliseconds{record.milliseconds + milliseconds};
    const sys_days newDate = floor<days>(moment);
    const year_month_day ymd{newDate};
    const hh_mm_ss time{moment - newDate};
    ClockRecord shifted = record;
    shifted.year = static_cast<std::uint16_t>(static_cast<int>(ymd.year()));
    shifted.month = static_cast<std::uint16_t>(static_cast<unsigned>(ymd.month()));
    shifted.day = static_cast<std::uint16_t>(static_cast<unsigned>(ymd.day()));
    shifted.hour = static_cast<std::uint16_t>(time.hours().count());
    shifted.minute = static_cast<std::uint16_t>(time.minutes().count());
    shifted.second = static_cast<std::uint16_t>(time.seconds().count());
    shifted.milliseconds = static_cast<std::uint16_t>(time.subseconds().count());
    return shifted;
}

std::int64_t ReplyResolutionMs(std::string_view reply) {
    return ParseNistReply(reply) ? 0 : kWholeSecondMiddleMs;
}

std::optional<ClockRecord> ParseDaytimeReply(std::string_view reply) {
    std::optional<ClockRecord> record = ParseNistReply(reply);
    if (!record) record = ParseClassicReply(reply);
    if (record && !IsSettableClockRecord(*record)) return std::nullopt;
    return record;
}

}  // namespace tolvane
