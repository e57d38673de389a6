#include "win32/Win32Clock.h"

#include <windows.h>

namespace tolvane {

LocalDateTime Win32Clock::Now() {
    SYSTEMTIME st{};
    GetLocalTime(&st);
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

}  // namespace tolvane
