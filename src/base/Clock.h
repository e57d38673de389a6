#pragma once

#include <chrono>
#include <cstdint>

namespace tolvane {

// A local date and time as the announcer and schedule see it.
struct LocalDateTime {
    int year = 2000;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;   // 0..23
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    int weekday = 7;  // Sunday = 1, Monday = 2, ... Saturday = 7
    // Local time minus UTC, daylight saving included: it tells the two 02:30s of an autumn
    // night apart.
    int utcOffsetSeconds = 0;

    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// The date and time fields in seconds since 1970-01-01 00:00, read as if they were UTC.
inline std::int64_t FieldSeconds(const LocalDateTime& t) {
    using namespace std::chrono;
    const sys_days day = year_month_day{year{t.year}, month{static_cast<unsigned>(t.month)},
                                        std::chrono::day{static_cast<unsigned>(t.day)}};
    return static_cast<std::int64_t>(day.time_since_epoch().count()) * 86400 + t.hour * 3600 +
           t.minute * 60 + t.second;
}

// The instant the fields name, in seconds since the Unix epoch.
inline std::int64_t UtcSeconds(const LocalDateTime& t) {
    return FieldSeconds(t) - t.utcOffsetSeconds;
}

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() = 0;
    // The wall clock's fields at a whole second, as the zone's rules give them: a moment just
    // ahead is known before it comes, the night the clocks change included.
    virtual LocalDateTime LocalAt(std::int64_t utcSeconds) = 0;
};

}  // namespace tolvane
