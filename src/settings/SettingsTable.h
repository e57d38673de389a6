#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tolvane {

struct SettingsRecord {
    std::int32_t Frequency = 0;       // 0, 1, 2: every 1, 2, 6 hours
    std::int32_t AnnounceFormat = 0;  // 0 time, 1 date, 2 date then time
    std::int32_t AdvertMode = 0;      // 0 every start, 1 at most once a day
    std::int32_t AnnounceOff = 0;     // 1: scheduled announcements off
    std::int32_t SyncTimerOff = 0;    // 1: hourly time synchronisation off
    std::int32_t StartAtBoot = 0;     // 1: registered to start at logon (not stored in the file)
    std::string AdvertDate;           // "yyyy|mm|dd" of the last once-a-day advert
    // From the 高级设置 page; valid values only (LoadSettings puts defaults in their place).
    std::int32_t HalfHour = 0;     // 1: also at half past every hour
    std::int32_t QuietStart = -1;  // minute of the day the quiet span starts; -1: none
    std::int32_t QuietEnd = -1;    // minute of the day it ends (not included); -1: none
    std::int32_t Volume = 100;     // percent of the clips' recorded level
    std::int32_t Phrasing = 0;     // 0 as written, 1 natural Mandarin
    std::string VoicePack = {};    // a subfolder of Sound holding a voice; empty: Sound itself
    std::int32_t BusyQuiet = 0;    // 1: scheduled announcements give way to a busy desktop
};

struct IntSetting {
    std::string_view key;
    std::int32_t SettingsRecord::*field;
    std::int32_t defaultValue;
    std::int32_t min;
    std::int32_t max;
};

inline constexpr std::string_view kSettingsSection = "Tolvane";
inline constexpr std::string_view kAnnounceOffKey = "关闭报时";
inline constexpr std::string_view kSettingsFileName = "Value.ini";

// Read in this order at start-up, and written in this order by the settings dialog.
inline constexpr std::array<IntSetting, 5> kIntSettings{{
    {"报时设置", &SettingsRecord::Frequency, 0, 0, 2},
    {"格式设置", &SettingsRecord::AnnounceFormat, 0, 0, 2},
    {"广告设置", &SettingsRecord::AdvertMode, 0, 0, 1},
    {kAnnounceOffKey, &SettingsRecord::AnnounceOff, 0, 0, 1},
    {"自动校时", &SettingsRecord::SyncTimerOff, 0, 0, 1},
}};

// 广告设置 beyond the first page's two choices: the advert is never shown.
inline constexpr std::int32_t kAdvertNever = 2;

// The 高级设置 page's keys, written by that page alone, in this order: the numbers, the quiet
// span, 广告设置, then 语音包. Unlike the first page's, a value that is not plain decimal digits
// within the range reads as the default, as a missing key does.
inline constexpr std::array<IntSetting, 3> kAdvancedIntSettings{{
    {"半点报时", &SettingsRecord::HalfHour, 0, 0, 1},
    {"报时音量", &SettingsRecord::Volume, 100, 0, 100},
    {"报时说法", &SettingsRecord::Phrasing, 0, 0, 1},
}};

// "HH:MM"; equal times mean no quiet span, and so does either one missing or malformed.
struct TimeSetting {
    std::string_view key;
    std::int32_t SettingsRecord::*field;
};
inline constexpr std::array<TimeSetting, 2> kQuietSettings{{
    {"安静开始", &SettingsRecord::QuietStart},
    {"安静结束", &SettingsRecord::QuietEnd},
}};
inline constexpr std::int32_t kAdvancedReadSize = 32;

// Read like the numbers above; the page writes it after 语音包, and only once it has been ticked,
// so that a file which never had it keeps exactly the keys it had.
inline constexpr IntSetting kBusyQuietSetting{"忙碌时不报时", &SettingsRecord::BusyQuiet, 0, 0, 1};

// The voice: the name of a subfolder of Sound that holds a voice pack. Missing, empty or not a
// whole pack means the clips in Sound itself. Written by the 高级设置 page, after its others.
inline constexpr std::string_view kVoicePackKey = "语音包";
inline constexpr std::int32_t kVoicePackReadSize = 256;

inline constexpr std::string_view kAdvertDateKey = "广告日期";
inline constexpr std::int32_t kAdvertDateReadSize = 12;

inline constexpr std::array<std::int32_t, 3> kFrequencyHours{1, 2, 6};

// Optional: the Daytime server as "host" or "host:port". Missing or empty means the built-in
// one; nothing ever writes it. The read size leaves room for any host name and port, so a
// longer value is cut and then refused rather than read as some other host.
inline constexpr std::string_view kTimeServerKey = "校时服务器";
inline constexpr std::int32_t kTimeServerReadSize = 300;

// Optional: the global hotkey that speaks the time, as "Ctrl+Alt+T"; missing or empty means
// none. Written only when the combination could be registered.
inline constexpr std::string_view kHotkeyKey = "报时热键";
inline constexpr std::int32_t kHotkeyReadSize = 64;

}  // namespace tolvane
