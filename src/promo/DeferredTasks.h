#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/Clock.h"
#include "settings/CustomVariables.h"

namespace tolvane {

// The update library beside the program. Its entry point takes the main window's handle as a
// 32-bit value and the address of the update description, checks in the background and
// returns at once.
class UpdateLibrary {
public:
    virtual ~UpdateLibrary() = default;
    // A missing library or entry point is skipped quietly.
    virtual void DoUpdate(std::uint32_t window, const std::string& address) = 0;
};

// Loads the advert window: it starts its page and waits, hidden below the screen, until the
// page has arrived.
class AdvertLoader {
public:
    virtual ~AdvertLoader() = default;
    virtual void LoadAdvert() = 0;
};

struct DeferredTaskServices {
    UpdateLibrary* update = nullptr;  // none: the update call is skipped
    AdvertLoader& advert;
    Clock& clock;
};

// The first tick after start-up: the update call, whatever the settings, then the advert
// decision. The caller switches its timer off for the rest of the run.
void RunDeferredTasks(const DeferredTaskServices& services, std::uint32_t mainWindow,
                      自定义变量& vars);

}  // namespace tolvane
