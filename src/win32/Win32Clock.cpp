#include "win32/Win32Clock.h"

#include <windows.h>

namespace tolvane {

namespace {

LocalDateTime Fields(const SYSTEMTIME& st) {
    LocalDateTime moment;
    moment.year = st.wYear;
    moment.month = st.wMonth;
    moment.day = st.wDay;
    moment.hour = st.wHour;
    moment.minute = st.wMinute;
    moment.second = st.wSecond;
    moment.millisecond = st.wMilliseconds;
    moment.weekday = st.wDayOfWeek + 1;  // Windows counts Sunday = 0
    return moment;
}

// One reading of the system clock for both: the local fields and the offset must belong to the
// same instant, or a second boundary between two readings skews the offset.
LocalDateTime LocalAtFileTime(const FILETIME& instant) {
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    if (!FileTimeToSystemTime(&instant, &utc) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
        GetLocalTime(&local);
        return Fields(local);
    }
    LocalDateTime moment = Fields(local);
    moment.utcOffsetSeconds = static_cast<int>(FieldSeconds(moment) - FieldSeconds(Fields(utc)));
    return moment;
}

}  // namespace

LocalDateTime Win32Clock::Now() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return LocalAtFileTime(now);
}

LocalDateTime Win32Clock::LocalAt(std::int64_t utcSeconds) {
    // FILETIME counts 100 ns steps from 1601, 11644473600 s before 1970.
    const auto ticks = static_cast<ULONGLONG>(utcSeconds + 11644473600LL) * 10000000ULL;
    FILETIME at{};
    at.dwLowDateTime = static_cast<DWORD>(ticks);
    at.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return LocalAtFileTime(at);
}

}  // namespace tolvane
