#include "win32/Win32DateTimeFormatter.h"

#include <windows.h>

#include "win32/TextConversion.h"

namespace tolvane {
namespace {

SYSTEMTIME ToSystemTime(const LocalDateTime& moment) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(moment.year);
    st.wMonth = static_cast<WORD>(moment.month);
    st.wDay = static_cast<WORD>(moment.day);
    st.wDayOfWeek = static_cast<WORD>(moment.weekday - 1);
    st.wHour = static_cast<WORD>(moment.hour);
    st.wMinute = static_cast<WORD>(moment.minute);
    st.wSecond = static_cast<WORD>(moment.second);
    return st;
}

}  // namespace

std::string Win32DateTimeFormatter::ShortDate(const LocalDateTime& moment) {
    const SYSTEMTIME st = ToSystemTime(moment);
    wchar_t buffer[128] = {};
    if (GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer, 128) <= 0) {
        return {};
    }
    return WideToUtf8(buffer);
}

std::string Win32DateTimeFormatter::LongTime(const LocalDateTime& moment) {
    const SYSTEMTIME st = ToSystemTime(moment);
    wchar_t buffer[128] = {};
    if (GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer, 128) <= 0) return {};
    return WideToUtf8(buffer);
}

}  // namespace tolvane
