#pragma once

#include <functional>

namespace tolvane {

// The user-interface thread's event loop, as seen from another thread.
class UiThread {
public:
    virtual ~UiThread() = default;
    // Runs `task` on the user-interface thread, soon; callable from any thread. A task posted
    // after the event loop has ended never runs.
    virtual void Post(std::function<void()> task) = 0;
};

}  // namespace tolvane
