#pragma once

namespace tolvane {

// Runs the window messages that are pending right now (ticks, tray and menu events), then
// returns. Handlers run nested inside the caller.
class MessagePump {
public:
    virtual ~MessagePump() = default;
    virtual void DispatchPending() = 0;
};

}  // namespace tolvane
