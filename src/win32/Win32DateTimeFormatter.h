#pragma once

#include "base/DateTimeFormatter.h"

namespace tolvane {

class Win32DateTimeFormatter final : public DateTimeFormatter {
public:
    std::string ShortDate(const LocalDateTime& moment) override;
    std::string LongTime(const LocalDateTime& moment) override;
};

}  // namespace tolvane
