#pragma once

#include <cstdint>
#include <string_view>

#include "settings/SettingsTable.h"

namespace tolvane {

// The hidden main window's title: also the marker by which a second copy finds a running one.
inline constexpr std::string_view kMainWindowTitle = "Tolvane Ver:3.0.0.0";
// A second copy ends at once, silent at logon; started by hand from a terminal it says why.
inline constexpr std::string_view kAlreadyRunningLine = "Tolvane is already running\n";

// What the hidden main window shows and runs, as decided from the settings.
struct ShellState {
    bool announceOffChecked = false;
    bool startAtBootChecked = false;
    bool announceTimerEnabled = true;
    bool syncTimerEnabled = true;

    friend bool operator==(const ShellState&, const ShellState&) = default;
};

// Only the exact values 0 and 1 switch a timer; anything else leaves it as it was.
bool TimerEnabledFor(std::int32_t offValue, bool current);

// Check marks and timer switches after the settings are loaded (timers start enabled).
ShellState PlanStartup(const SettingsRecord& settings);

}  // namespace tolvane
