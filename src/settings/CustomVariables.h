#pragma once

#include <array>
#include <cstdint>
#include <functional>

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

}  // namespace tolvane
