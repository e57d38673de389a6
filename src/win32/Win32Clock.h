#pragma once

#include "base/Clock.h"

namespace tolvane {

class Win32Clock final : public Clock {
public:
    LocalDateTime Now() override;
};

}  // namespace tolvane
