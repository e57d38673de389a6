#pragma once

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

    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() = 0;
};

}  // namespace tolvane
