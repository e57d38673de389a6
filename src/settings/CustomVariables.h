#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "settings/ProfileStore.h"
#include "settings/ReadWriteConfig.h"
#include "settings/SettingsTable.h"

namespace tolvane {

// The process-wide settings state: one instance, owned by the main window and passed by
// reference to whoever reads it.
struct 自定义变量 {
    explicit 自定义变量(ProfileStore& store) : ConfigFile(store) {}

    读写配置 ConfigFile;
    SettingsRecord Settings;
    std::array<std::int32_t, 3> FrequencyHours{};
};

// Fills Settings from ConfigFile (already bound) and FrequencyHours from the fixed table.
// `isStartAtBootRegistered` answers whether the logon entry holds this program's command.
void LoadSettings(自定义变量& vars, const std::function<bool()>& isStartAtBootRegistered);

// A whole number within min..max in plain decimal digits (blanks around it allowed), or
// nullopt.
std::optional<std::int32_t> ParseSettingNumber(std::string_view text, std::int32_t min,
                                               std::int32_t max);

// A time of day "HH:MM" or "H:MM" (the colon may be the full-width one a Chinese input method
// gives; blanks around it allowed) as the minute of the day, or nullopt.
std::optional<std::int32_t> ParseClockTime(std::string_view text);
// The form of a time, hours and minutes of any size ("25:61"): a time ParseClockTime refuses
// although it has this form is out of range, not badly written.
bool HasClockTimeForm(std::string_view text);
// "HH:MM" of a minute of the day.
std::string ClockTimeText(std::int32_t minuteOfDay);

}  // namespace tolvane
