#pragma once

#include <string>

#include "base/Clock.h"

namespace tolvane {

// The user's locale formats of a moment, as the system writes a date-time by default.
class DateTimeFormatter {
public:
    virtual ~DateTimeFormatter() = default;
    virtual std::string ShortDate(const LocalDateTime& moment) = 0;
    virtual std::string LongTime(const LocalDateTime& moment) = 0;
};

}  // namespace tolvane
