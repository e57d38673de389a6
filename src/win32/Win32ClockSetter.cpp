#include "win32/Win32ClockSetter.h"

#include <windows.h>

namespace tolvane {

void Win32ClockSetter::SetClock(const ClockRecord& record, bool) {
    SYSTEMTIME time{record.year, record.month,  record.dayOfWeek, record.day,
                    record.hour, record.minute, record.second,    record.milliseconds};
    if (record.utc) {
        SYSTEMTIME local{};
        if (!SystemTimeToTzSpecificLocalTime(nullptr, &time, &local)) return;
        time = local;
    }
    SetLocalTime(&time);
}

}  // namespace tolvane
