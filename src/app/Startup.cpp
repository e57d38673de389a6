#include "app/Startup.h"

namespace tolvane {

bool TimerEnabledFor(std::int32_t offValue, bool current) {
    if (offValue == 0) return true;
    if (offValue == 1) return false;
    return current;
}

ShellState PlanStartup(const SettingsRecord& settings) {
    ShellState state;
    state.announceOffChecked = settings.AnnounceOff != 0;
    state.startAtBootChecked = settings.StartAtBoot != 0;
    state.announceTimerEnabled = TimerEnabledFor(settings.AnnounceOff, true);
    state.syncTimerEnabled = TimerEnabledFor(settings.SyncTimerOff, true);
    return state;
}

}  // namespace tolvane
