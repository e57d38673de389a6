#pragma once

#include <cstdio>

#include "base/DateTimeFormatter.h"

namespace tolvane::fakes {

// Formats like a zh-CN system: 2010/7/28 and 10:00:00.
class FakeDateTimeFormatter final : public DateTimeFormatter {
public:
    std::string ShortDate(const LocalDateTime& m) override {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%d/%d/%d", m.year, m.month, m.day);
        return buffer;
    }
    std::string LongTime(const LocalDateTime& m) override {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d", m.hour, m.minute, m.second);
        return buffer;
    }
};

}  // namespace tolvane::fakes
