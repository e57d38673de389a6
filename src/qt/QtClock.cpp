#include "qt/QtClock.h"

#include <time.h>

namespace tolvane {
namespace {

LocalDateTime Fields(std::int64_t utcSeconds, int millisecond) {
    // One look at the zone per reading: tzset reads the zone again where it has changed (a
    // stat of /etc/localtime, the program's only system call at idle besides its timers'),
    // and localtime_r then uses it without looking again, as QDateTime would twice.
    ::tzset();
    const auto at = static_cast<time_t>(utcSeconds);
    struct tm local {};
    ::localtime_r(&at, &local);
    LocalDateTime moment;
    moment.year = local.tm_year + 1900;
    moment.month = local.tm_mon + 1;
    moment.day = local.tm_mday;
    moment.hour = local.tm_hour;
    moment.minute = local.tm_min;
    moment.second = local.tm_sec;
    moment.millisecond = millisecond;
    moment.weekday = local.tm_wday + 1;  // Sunday = 0 ... Saturday = 6
    moment.utcOffsetSeconds = static_cast<int>(local.tm_gmtoff);
    return moment;
}

}  // namespace

LocalDateTime QtClock::Now() {
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return Fields(now.tv_sec, static_cast<int>(now.tv_nsec / 1000000));
}

LocalDateTime QtClock::LocalAt(std::int64_t utcSeconds) {
    return Fields(utcSeconds, 0);
}

}  // namespace tolvane
