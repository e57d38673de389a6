#pragma once

#include <string>

#include "base/Clock.h"

namespace tolvane {

class Locale {
public:
    virtual ~Locale() = default;
    // The locale's morning or afternoon word for the moment ("AM", "PM", "上午", ...).
    virtual std::string HalfDayDesignator(const LocalDateTime& moment) = 0;
};

}  // namespace tolvane
