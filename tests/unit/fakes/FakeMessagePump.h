#pragma once

#include <functional>

#include "base/MessagePump.h"

namespace tolvane::fakes {

// Counts dispatches; a test can queue work that runs nested inside the next dispatch.
class FakeMessagePump final : public MessagePump {
public:
    void DispatchPending() override {
        ++dispatches;
        if (onDispatch) onDispatch(dispatches);
    }

    int dispatches = 0;
    std::function<void(int dispatch)> onDispatch;
};

}  // namespace tolvane::fakes
