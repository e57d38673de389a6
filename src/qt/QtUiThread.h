#pragma once

#include "base/UiThread.h"

namespace tolvane {

// Tasks queued to the application object, run by Qt's event loop.
class QtUiThread final : public UiThread {
public:
    void Post(std::function<void()> task) override;
};

}  // namespace tolvane
