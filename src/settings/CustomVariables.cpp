#include "settings/CustomVariables.h"

namespace tolvane {

void LoadSettings(自定义变量& vars, const std::function<bool()>& isStartAtBootRegistered) {
    for (const IntSetting& setting : kIntSettings) {
        vars.Settings.*setting.field = vars.ConfigFile.ReadInt(kSettingsSection, setting.key);
    }
    vars.Settings.AdvertDate =
        vars.ConfigFile.ReadString(kSettingsSection, kAdvertDateKey, kAdvertDateReadSize);
    vars.Settings.StartAtBoot = (isStartAtBootRegistered && isStartAtBootRegistered()) ? 1 : 0;
    vars.FrequencyHours = kFrequencyHours;
}

}  // namespace tolvane
