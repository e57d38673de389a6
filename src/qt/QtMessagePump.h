#pragma once

#include "base/MessagePump.h"

namespace tolvane {

class QtMessagePump final : public MessagePump {
public:
    void DispatchPending() override;
};

}  // namespace tolvane
