#include "win32/Win32Locale.h"

#include <windows.h>

#include "win32/TextConversion.h"

namespace tolvane {

std::string Win32Locale::HalfDayDesignator(const LocalDateTime& moment) {
    SYSTEMTIME st{};
    st.wYear = 2000;
    st.wMonth = 1;
    st.wDay = 1;
    st.wHour = static_cast<WORD>(moment.hour);
    wchar_t buffer[32] = {};
    if (GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, L"tt", buffer, 32) <= 0) return {};
    return WideToUtf8(buffer);
}

}  // namespace tolvane
