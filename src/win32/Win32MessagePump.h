#pragma once

#include "base/MessagePump.h"

namespace tolvane {

class Win32MessagePump final : public MessagePump {
public:
    void DispatchPending() override;
};

}  // namespace tolvane
