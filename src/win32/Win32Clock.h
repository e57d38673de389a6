#pragma once

#include "base/Clock.h"

namespace tolvane {

class Win32Clock final : public Clock {
public:
    LocalDateTime Now() override;
    LocalDateTime LocalAt(std::int64_t utcSeconds) override;
};

}  // namespace tolvane
