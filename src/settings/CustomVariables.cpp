#include "settings/CustomVariables.h"

#include <utility>

#include "base/AsciiText.h"

namespace tolvane {
namespace {

constexpr std::string_view kFullWidthColon = "：";

std::optional<std::int32_t> Digits(std::string_view text) {
    // Ten digits could overflow; no setting needs more than four.
    if (text.empty() || text.size() > 4) return std::nullopt;
    std::int32_t value = 0;
    for (char c : text) {
        if (!IsAsciiDigit(c)) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

void LoadSettings(自定义变量& vars, const std::function<bool()>& isStartAtBootRegistered) {
    for (const IntSetting& setting : kIntSettings) {
        vars.Settings.*setting.field = vars.ConfigFile.ReadInt(kSettingsSection, setting.key);
    }
    vars.Settings.AdvertDate =
        vars.ConfigFile.ReadString(kSettingsSection, kAdvertDateKey, kAdvertDateReadSize);
    const auto readAdvanced = [&vars](const IntSetting& setting) {
        const std::string text =
            vars.ConfigFile.ReadString(kSettingsSection, setting.key, kAdvancedReadSize);
        vars.Settings.*setting.field =
            ParseSettingNumber(text, setting.min, setting.max).value_or(setting.defaultValue);
    };
    for (const IntSetting& setting : kAdvancedIntSettings) readAdvanced(setting);
    readAdvanced(kBusyQuietSetting);
    for (const TimeSetting& setting : kQuietSettings) {
        const std::string text =
            vars.ConfigFile.ReadString(kSettingsSection, setting.key, kAdvancedReadSize);
        vars.Settings.*setting.field = ParseClockTime(text).value_or(-1);
    }
    vars.Settings.VoicePack =
        vars.ConfigFile.ReadString(kSettingsSection, kVoicePackKey, kVoicePackReadSize);
    vars.Settings.StartAtBoot = (isStartAtBootRegistered && isStartAtBootRegistered()) ? 1 : 0;
    vars.FrequencyHours = kFrequencyHours;
}

std::optional<std::int32_t> ParseSettingNumber(std::string_view text, std::int32_t min,
                                               std::int32_t max) {
    const std::optional<std::int32_t> value = Digits(TrimSpacesAndTabs(text));
    if (!value || *value < min || *value > max) return std::nullopt;
    return value;
}

namespace {

// Hours and minutes as written, not yet checked against the day.
std::optional<std::pair<std::int32_t, std::int32_t>> ClockTimeParts(std::string_view text) {
    text = TrimSpacesAndTabs(text);
    std::size_t colon = text.find(':');
    std::size_t colonBytes = 1;
    if (colon == std::string_view::npos) {
        colon = text.find(kFullWidthColon);
        colonBytes = kFullWidthColon.size();
    }
    if (colon == std::string_view::npos || colon < 1 || colon > 2) return std::nullopt;
    const std::string_view minuteText = text.substr(colon + colonBytes);
    if (minuteText.size() != 2) return std::nullopt;
    const std::optional<std::int32_t> hour = Digits(text.substr(0, colon));
    const std::optional<std::int32_t> minute = Digits(minuteText);
    if (!hour || !minute) return std::nullopt;
    return std::pair{*hour, *minute};
}

}  // namespace

std::optional<std::int32_t> ParseClockTime(std::string_view text) {
    const auto parts = ClockTimeParts(text);
    if (!parts || parts->first > 23 || parts->second > 59) return std::nullopt;
    return parts->first * 60 + parts->second;
}

bool HasClockTimeForm(std::string_view text) {
    return ClockTimeParts(text).has_value();
}

std::string ClockTimeText(std::int32_t minuteOfDay) {
    const std::int32_t hour = minuteOfDay / 60;
    const std::int32_t minute = minuteOfDay % 60;
    return {static_cast<char>('0' + hour / 10), static_cast<char>('0' + hour % 10), ':',
            static_cast<char>('0' + minute / 10), static_cast<char>('0' + minute % 10)};
}

}  // namespace tolvane
