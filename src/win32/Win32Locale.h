#pragma once

#include "voice/Locale.h"

namespace tolvane {

class Win32Locale final : public Locale {
public:
    std::string HalfDayDesignator(const LocalDateTime& moment) override;
};

}  // namespace tolvane
