#include "promo/DeferredTasks.h"

#include <cstdio>

#include "about/WebAddresses.h"

namespace tolvane {
namespace {

// Today as the advert date is stored: "2026|09|07".
std::string DayText(const LocalDateTime& today) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d|%02d|%02d", today.year, today.month, today.day);
    return text;
}

struct AdvertDecision {
    bool load = false;
    bool storeDay = false;
};

// Mode 0 loads at every start; mode 1 loads and stores the day when the stored date differs
// from today as text (another spelling of the same day differs too); any other mode never.
AdvertDecision DecideAdvert(std::int32_t advertMode, std::string_view advertDate,
                            std::string_view today) {
    if (advertMode == 0) return {true, false};
    if (advertMode == 1 && advertDate != today) return {true, true};
    return {};
}

}  // namespace

void RunDeferredTasks(const DeferredTaskServices& services, std::uint32_t mainWindow,
                      自定义变量& vars) {
    if (services.update != nullptr) {
        services.update->DoUpdate(mainWindow, std::string(kUpdateDescriptionUrl));
    }
    const AdvertDecision decision = DecideAdvert(vars.Settings.AdvertMode, vars.Settings.AdvertDate,
                                                 DayText(services.clock.Now()));
    if (decision.load) services.advert.LoadAdvert();
    if (decision.storeDay) {
        // Formed again after loading: the day may have turned meanwhile.
        vars.ConfigFile.WriteString(kSettingsSection, kAdvertDateKey,
                                    DayText(services.clock.Now()));
    }
}

}  // namespace tolvane
