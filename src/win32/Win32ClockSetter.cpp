#include "win32/Win32ClockSetter.h"

#include <windows.h>

namespace tolvane {
namespace {

std::int64_t FileTimeMs(const FILETIME& time) {
    return static_cast<std::int64_t>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) |
                                     time.dwLowDateTime) /
           10000;
}

}  // namespace

void Win32ClockSetter::SetClock(const ClockRecord& record, bool, ClockSetDone done) {
    SYSTEMTIME time{record.year, record.month,  record.dayOfWeek, record.day,
                    record.hour, record.minute, record.second,    record.milliseconds};
    SYSTEMTIME utc = time;
    if (record.utc) {
        if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &time)) return done({});
    } else if (!TzSpecificLocalTimeToSystemTime(nullptr, &time, &utc)) {
        return done({});
    }
    FILETIME target{};
    FILETIME now{};
    if (!SystemTimeToFileTime(&utc, &target)) return done({});
    GetSystemTimeAsFileTime(&now);
    const bool set = SetLocalTime(&time) != FALSE;
    done({set, FileTimeMs(target) - FileTimeMs(now)});
}

}  // namespace tolvane
