#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tolvane {

// The clock record handed to the system, field for field as SYSTEMTIME orders them. `utc` says
// whether the fields are Coordinated Universal Time (the NIST form, or a reply that names its
// zone) or local time; turning UTC into local time is the platform's work.
struct ClockRecord {
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t dayOfWeek = 0;  // never computed; the system ignores it
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
    bool utc = false;

    friend bool operator==(const ClockRecord&, const ClockRecord&) = default;
};

// The month number of a name from the fixed table (JAN ... AUG, SEPT or SEP, OCT, NOV, DEC) in
// any letter case, as decimal text without a leading zero; empty when the name is not in the table.
std::string MonthFromName(std::string_view name);

// A reply in whole seconds names some moment inside its second: it is read as the middle.
inline constexpr std::uint16_t kWholeSecondMiddleMs = 500;

// The classic reply "07 SEPT 2026 08:05:09 ...": single-space tokens day, month name, year and
// h:m:s, read as h:m:s.500. A fifth token that names one zone everywhere (UTC, GMT, UT, Z in any
// letter case, +hhmm or +hh:mm up to 14 hours either way) turns the record into UTC; without one,
// or with a name several zones share (CST, IST ...), the time is local. nullopt for anything that
// does not fit.
std::optional<ClockRecord> ParseClassicReply(std::string_view reply);

// NIST's form "JJJJJ YY-MM-DD HH:MM:SS TT L H msADV UTC(NIST) *", UTC, checked strictly: exact
// shape, the Modified Julian Date naming the same day, and a healthy server (H = 0).
std::optional<ClockRecord> ParseNistReply(std::string_view reply);

// Whatever a time server sent: the NIST form when it is one, otherwise the classic reply. Only
// records the system would accept come out (month 1-12, a day of that month, hour <= 23,
// minute and second <= 59, year 1601-30827), so both programs refuse the same lines.
std::optional<ClockRecord> ParseDaytimeReply(std::string_view reply);

bool IsSettableClockRecord(const ClockRecord& record);

// How far either way the moment a reply names may lie from its record: half a second for the
// classic form; none for NIST's, whose line is sent on its second.
std::int64_t ReplyResolutionMs(std::string_view reply);

// The same kind of time `milliseconds` later (earlier when negative), the date following.
// `record` must be settable; the result may not be.
ClockRecord ShiftedBy(const ClockRecord& record, std::int64_t milliseconds);

}  // namespace tolvane
