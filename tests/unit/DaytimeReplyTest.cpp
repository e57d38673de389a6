#include "timesync/DaytimeReply.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "timesync/TimeServer.h"

namespace tolvane::testing {
namespace {

// A classic reply in whole seconds is read as the middle of its second.
ClockRecord Local(int y, int mo, int d, int h, int mi, int s) {
    return ClockRecord{std::uint16_t(y),
                       std::uint16_t(mo),
                       0,
                       std::uint16_t(d),
                       std::uint16_t(h),
                       std::uint16_t(mi),
                       std::uint16_t(s),
                       500,
                       false};
}

ClockRecord Utc(int y, int mo, int d, int h, int mi, int s) {
    ClockRecord record = Local(y, mo, d, h, mi, s);
    record.utc = true;
    return record;
}

ClockRecord Nist(int y, int mo, int d, int h, int mi, int s) {
    ClockRecord record = Utc(y, mo, d, h, mi, s);
    record.milliseconds = 0;
    return record;
}

const std::optional<ClockRecord> kNone;
const ClockRecord kExample = Local(2026, 9, 7, 8, 5, 9);
const ClockRecord kExampleUtc = Utc(2026, 9, 7, 0, 5, 9);

struct ReplyRow {
    std::string reply;
    std::optional<ClockRecord> expected;
};

// clang-format off
const ReplyRow kReplies[] = {
    {"07 SEPT 2026 08:05:09 +0800\r\n", kExampleUtc},
    {"07 sept 2026 08:05:09 +08:00\r\n", kExampleUtc},
    {"07 Sept 2026 00:05:09 UTC and more\r\n", kExampleUtc},
    {"07 SEPT 2026 00:05:09 gmt", kExampleUtc},  {"07 SEPT 2026 00:05:09 Ut\r\n", kExampleUtc},
    {"07 SEPT 2026 00:05:09 z", kExampleUtc},    {"06 SEPT 2026 18:35:09 -05:30", kExampleUtc},
    {"07 SEPT 2026 14:05:09 +1400", kExampleUtc}, {"06 SEPT 2026 10:05:09 -1400", kExampleUtc},
    {"01 JAN 2027 03:00:00 +0800", Utc(2026, 12, 31, 19, 0, 0)},
    {"01 JAN 1601 00:00:00 +0100", kNone},       {"31 SEPT 2026 08:05:09 UTC", kNone},
    {"07 SEP 2026 08:05:09 +0800\r\n", kExampleUtc}, {"07 Sep 2026 08:05:09 +0800", kExampleUtc},
    {"07 sep 2026 00:05:09 UTC", kExampleUtc},
    {"24 dec 2026 23:59:59\r\n", Local(2026, 12, 24, 23, 59, 59)},
    {"24 Dec 2026 23:59:59\r\n", Local(2026, 12, 24, 23, 59, 59)},
    {"07 SEPT 2026 08:05:09 CST and any further words\r\n", kExample},
    {"07 SEPT 2026 08:05:09\r\n", kExample},
    {"07 SEPT 2026 08:05:09\n", kExample},
    {"07 SEPT 2026 08:05:09", kExample},
    {"\r\n07 SEPT 2026 08:05:09\r\n", kExample},
    {"7 SEPT 2026 8:5:9", kExample},
    {"0007 SEPT 02026 0008:05:09", kExample},
    {"07 SEPT 2026 08:05:09:99", kExample},  // parts after the third are not read
    // Does not fit: too few tokens or time parts, empty or shifted tokens, not decimal.
    {"", kNone},
    {"07 SEPT 2026", kNone},
    {"07 SEPT 2026 08:05", kNone},
    {"07 SEPT 2026 08: 05:09", kNone},
    {"07  SEPT 2026 08:05:09", kNone},
    {" 07 SEPT 2026 08:05:09", kNone},
    {"07\tSEPT\t2026\t08:05:09", kNone},
    {"07 SEPT 2O26 08:05:09", kNone},
    {"+7 SEPT 2026 08:05:09", kNone},
    {"-7 SEPT 2026 08:05:09", kNone},
    {"0x7 SEPT 2026 08:05:09", kNone},
    {"07 SEPT 2026 08:05:9s", kNone},
    {"07 SEPT 65536 08:05:09", kNone},
    {"07 SEPT 2026 08:05:4294967305", kNone},  // would wrap to 9 in 32 bits
    {"07 ＳＥＰＴ 2026 08:05:09", kNone},
    // Out of the ranges the system accepts.
    {"31 SEPT 2026 08:05:09", kNone},
    {"257 JAN 2026 08:05:09", kNone},  // day 1 to a day type of one byte
    {"29 FEB 2025 08:05:09", kNone},
    {"29 FEB 2024 08:05:09", Local(2024, 2, 29, 8, 5, 9)},
    {"00 JAN 2026 08:05:09", kNone},
    {"07 SEPT 26 08:05:09", kNone},
    {"07 SEPT 1600 08:05:09", kNone},
    {"01 JAN 1601 00:00:00", Local(1601, 1, 1, 0, 0, 0)},
    {"31 DEC 30827 23:59:59", Local(30827, 12, 31, 23, 59, 59)},
    {"01 JAN 30828 00:00:00", kNone},
    {"07 SEPT 2026 24:00:00", kNone},
    {"07 SEPT 2026 08:60:09", kNone},
    {"07 SEPT 2026 08:05:60", kNone},
    // NIST's form: UTC, checked strictly.
    {"\n61290 26-09-07 03:04:05 50 0 0  50.0 UTC(NIST) *\n", Nist(2026, 9, 7, 3, 4, 5)},
    {"61290 26-09-07 03:04:05 00 1 0 909.7 UTC(NIST) *", Nist(2026, 9, 7, 3, 4, 5)},
    {"60369 24-02-29 23:59:59 00 0 0 50.0 UTC(NIST) * \r\n", Nist(2024, 2, 29, 23, 59, 59)},
    {"\n61290 26-09-07 03:04:05 50 0 1  50.0 UTC(NIST) *\n", kNone},
    {"\n61290 26-09-07 03:04:05 50 0 4  50.0 UTC(NIST) *\n", kNone},
    {"\n61291 26-09-07 03:04:05 50 0 0  50.0 UTC(NIST) *\n", kNone},
    {"\n61290 26-09-07 03:04:05 50 3 0  50.0 UTC(NIST) *\n", kNone},
    {"\n61290 26-09-07 03:04:05 50 0 0  50.0 UTC(NIST) #\n", kNone},
    {"\n61290 26-09-07 03:04:05 50 0 0  50.0 UTC(NIST)\n", kNone},
    {"\n61290 26-09-07 03:04:05 50 0 0  50.0 UTC(USNO) *\n", kNone},
    {"\n61290 26-09-07 03:04:05 50 0 0 50 UTC(NIST) *\n", kNone},
    {"\n61290 26-9-07 03:04:05 50 0 0 50.0 UTC(NIST) *\n", kNone},
    {"\n61290 26-09-07 24:04:05 50 0 0 50.0 UTC(NIST) *\n", kNone},
    {"\n61290 26-09-07 03:04:05 50 0 0 50.0 UTC(NIST) * extra\n", kNone},
    {std::string(1024, 'X'), kNone},
    {std::string(1023, ' ') + "\n", kNone},
    {std::string("07 SEPT\0 2026 08:05:09", 22), kNone},
};
// clang-format on

TEST(ParseDaytimeReply, EveryRowOfTheTable) {
    for (const ReplyRow& row : kReplies) {
        EXPECT_EQ(ParseDaytimeReply(row.reply), row.expected) << '"' << row.reply << '"';
    }
}

TEST(ParseDaytimeReply, ZonesSeveralPlacesShareAndBadOffsetsLeaveLocalTime) {
    for (const char* zone : {"CST", "ist", "PST", "BST", "+1401", "+2400", "+08:60", "+800", "0800",
                             "+08:0", "UTC+8", " UTC"}) {
        EXPECT_EQ(ParseDaytimeReply(std::string("07 SEPT 2026 08:05:09 ") + zone), kExample)
            << zone;
    }
}

TEST(MonthFromName, TableOrderAnyLetterCaseSeptOrSep) {
    const std::pair<const char*, const char*> rows[] = {
        {"JAN", "1"},  {"feb", "2"},  {"Mar", "3"},   {"APR", "4"},    {"may", "5"},  {"JUN", "6"},
        {"JUL", "7"},  {"aug", "8"},  {"SEPT", "9"},  {"sept", "9"},   {"Sept", "9"}, {"sEpT", "9"},
        {"OCT", "10"}, {"NOV", "11"}, {"DEC", "12"},  {"dec", "12"},   {"Dec", "12"}, {"SEP", "9"},
        {"Sep", "9"},  {"sep", "9"},  {"", ""},       {"JANUARY", ""}, {" JAN", ""},  {"JAN ", ""},
        {"JA", ""},    {"1", ""},     {"ＪＡＮ", ""},
    };
    for (const auto& [name, number] : rows) EXPECT_EQ(MonthFromName(name), number) << name;
}

TEST(TimeServerFromSetting, HostOrHostAndPortElseNothing) {
    const std::optional<TimeServer> none;
    const std::pair<std::string, std::optional<TimeServer>> rows[] = {
        {"", TimeServer{"time.nist.gov", 13}},
        {"  \t ", TimeServer{"time.nist.gov", 13}},
        {"time.example.org", TimeServer{"time.example.org", 13}},
        {" time.example.org:2013 ", TimeServer{"time.example.org", 2013}},
        {"10.0.0.1:37", TimeServer{"10.0.0.1", 37}},
        {"my_host-1:65535", TimeServer{"my_host-1", 65535}},
        {"host:0", none},
        {"host:65536", none},
        {"host:", none},
        {":13", none},
        {"host:+13", none},
        {"host:13:14", none},
        {"ho st", none},
        {"[::1]:13", none},
        {"时间服务器", none},
        {"host/13", none},
        {std::string(253, 'a'), TimeServer{std::string(253, 'a'), 13}},
        {std::string(254, 'a'), none},
    };
    for (const auto& [value, expected] : rows)
        EXPECT_EQ(TimeServerFromSetting(value), expected) << value;
}

}  // namespace
}  // namespace tolvane::testing
