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

}  // namespace

LocalDateTime Win32Clock::Now() {
    // One reading of the system clock for both: the local fields and the offset must belong
    // to the same instant, or a second boundary between two readings skews the offset.
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    if (!FileTimeToSystemTime(&now, &utc) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
        GetLocalTime(&local);
        return Fields(local);
    }
    LocalDateTime moment = Fields(local);
    moment.utcOffsetSeconds = static_cast<int>(FieldSeconds(moment) - FieldSeconds(Fields(utc)));
    return moment;
}

}  // namespace tolvane
