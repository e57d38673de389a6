#pragma once

#include <chrono>

#include "base/Clock.h"

namespace tolvane::fakes {

// A clock that stands still until the test moves it. Times are local and zone-free.
class FakeClock final : public Clock {
public:
    explicit FakeClock(LocalDateTime start = {}) { Set(start); }

    void Set(const LocalDateTime& moment) {
        using namespace std::chrono;
        const sys_days day = year_month_day{year{moment.year}, month{unsigned(moment.month)},
                                            std::chrono::day{unsigned(moment.day)}};
        m_time = day + hours{moment.hour} + minutes{moment.minute} + seconds{moment.second} +
                 milliseconds{moment.millisecond};
    }

    void Advance(std::chrono::milliseconds step) { m_time += step; }

    LocalDateTime Now() override {
        using namespace std::chrono;
        const sys_days day = floor<days>(m_time);
        const year_month_day ymd{day};
        const hh_mm_ss<milliseconds> time{m_time - day};
        LocalDateTime moment;
        moment.year = int(ymd.year());
        moment.month = int(unsigned(ymd.month()));
        moment.day = int(unsigned(ymd.day()));
        moment.hour = int(time.hours().count());
        moment.minute = int(time.minutes().count());
        moment.second = int(time.seconds().count());
        moment.millisecond = int(time.subseconds().count());
        moment.weekday = int(weekday{day}.c_encoding()) + 1;
        return moment;
    }

    LocalDateTime LocalAt(std::int64_t utcSeconds) override {
        FakeClock at;
        at.m_time = std::chrono::sys_seconds{std::chrono::seconds{utcSeconds}};
        return at.Now();
    }

private:
    std::chrono::sys_time<std::chrono::milliseconds> m_time;
};

inline LocalDateTime At(int year, int month, int day, int hour, int minute, int second = 0,
                        int millisecond = 0) {
    FakeClock clock(LocalDateTime{year, month, day, hour, minute, second, millisecond, 1});
    return clock.Now();  // fills in the weekday
}

}  // namespace tolvane::fakes
