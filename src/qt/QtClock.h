#pragma once

#include "base/Clock.h"

namespace tolvane {

class QtClock final : public Clock {
public:
    LocalDateTime Now() override;
};

}  // namespace tolvane
