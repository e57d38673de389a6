#pragma once

#include <array>
#include <string_view>

#include "base/DialogLayout.h"

namespace tolvane {

// What the settings dialog's logic does with a control.
enum class SettingsRole : int {
    None = 0,
    Frequency,     // option group: Settings.Frequency
    Format,        // option group: Settings.AnnounceFormat
    Advert,        // option group: Settings.AdvertMode
    AnnounceOff,   // check box: Settings.AnnounceOff
    StartAtBoot,   // check box: the logon entry, at once
    HourlySyncOn,  // check box: ticked while Settings.SyncTimerOff lets the hourly sync run
    Advanced,      // link: opens the 高级设置 page
    Ok,
    Cancel,
    Apply,
    // The tray menu's commands, for a desktop without a tray or a user without a mouse.
    TimeSync,
    About,
    Exit,
};

constexpr int RoleOf(SettingsRole role) {
    return static_cast<int>(role);
}

inline constexpr std::string_view kSettingsDialogCaption = "Tolvane设置";
inline constexpr std::string_view kStartAtBootTooltip =
    "开机自动启动程序，不需要可以不开启，开启会被杀毒软件拦截允许即可";
inline constexpr std::string_view kSyncTimerTooltip =
    "用于自己电脑时间不准的用户，进行每小时自动校准时间";

// clang-format off
// Form_一般设置, in twips; controls inside a frame are placed relative to it. Below OK, Cancel
// and Apply, a row with the tray menu's commands.
inline constexpr std::array<ControlSpec, 22> kSettingsControls{{
    {"GroupBox_报时设置", ControlKind::GroupFrame, "", "报时频率", -1, {30, 30, 2805, 1185}, 0, "", kNoFlags, RoleOf(SettingsRole::None), "报时频率"},
    {"Option_报时设置", ControlKind::OptionButton, "GroupBox_报时设置", "整点报时", 0, {255, 240, 2235, 255}, 1, "", kNoFlags, RoleOf(SettingsRole::Frequency), "整点报时"},
    {"Option_报时设置", ControlKind::OptionButton, "GroupBox_报时设置", "两时报时", 1, {255, 570, 2235, 255}, 2, "", kNoFlags, RoleOf(SettingsRole::Frequency), "两时报时"},
    {"Option_报时设置", ControlKind::OptionButton, "GroupBox_报时设置", "六时报时", 2, {255, 900, 2235, 255}, 3, "", kNoFlags, RoleOf(SettingsRole::Frequency), "六时报时"},
    {"GroupBox_格式设置", ControlKind::GroupFrame, "", "报时格式", -1, {2880, 30, 2805, 1185}, 4, "", kNoFlags, RoleOf(SettingsRole::None), "报时格式"},
    {"Option_格式设置", ControlKind::OptionButton, "GroupBox_格式设置", "仅报时间", 0, {255, 240, 2235, 255}, 5, "", kNoFlags, RoleOf(SettingsRole::Format), "仅报时间"},
    {"Option_格式设置", ControlKind::OptionButton, "GroupBox_格式设置", "报年月日", 1, {255, 570, 2235, 255}, 6, "", kNoFlags, RoleOf(SettingsRole::Format), "报年月日"},
    {"Option_格式设置", ControlKind::OptionButton, "GroupBox_格式设置", "播放全部", 2, {255, 900, 2235, 255}, 7, "", kNoFlags, RoleOf(SettingsRole::Format), "播放全部"},
    {"GroupBox_广告设置", ControlKind::GroupFrame, "", "广告设置", -1, {30, 1260, 2805, 1305}, 8, "", kNoFlags, RoleOf(SettingsRole::None), "广告设置"},
    {"Option_广告设置", ControlKind::OptionButton, "GroupBox_广告设置", "开启显示一次", 0, {210, 330, 2235, 255}, 9, "", kNoFlags, RoleOf(SettingsRole::Advert), "开启显示一次"},
    {"Option_广告设置", ControlKind::OptionButton, "GroupBox_广告设置", "一天显示一次", 1, {210, 660, 2235, 255}, 10, "", kNoFlags, RoleOf(SettingsRole::Advert), "一天显示一次"},
    {"GroupBox_高级设置", ControlKind::GroupFrame, "", "扩展设置", -1, {2880, 1260, 2805, 1305}, 11, "", kNoFlags, RoleOf(SettingsRole::None), "扩展设置"},
    {"Check_关闭报时", ControlKind::CheckBox, "GroupBox_高级设置", "关闭报时", -1, {210, 330, 2445, 195}, 12, "", kNoFlags, RoleOf(SettingsRole::AnnounceOff), "关闭报时"},
    {"Check_开机启动", ControlKind::CheckBox, "GroupBox_高级设置", "开机启动", -1, {210, 660, 2445, 195}, 13, kStartAtBootTooltip, kNoFlags, RoleOf(SettingsRole::StartAtBoot), "开机启动"},
    {"Check_自动校时", ControlKind::CheckBox, "GroupBox_高级设置", "自动网络校时", -1, {210, 990, 2445, 195}, 14, kSyncTimerTooltip, kNoFlags, RoleOf(SettingsRole::HourlySyncOn), "自动网络校时"},
    {"Label_高级设置", ControlKind::LinkLabel, "", "切换到高级设置", -1, {150, 2730, 1260, 195}, 15, "", kNoFlags, RoleOf(SettingsRole::Advanced), "切换到高级设置"},
    {"Command_确定", ControlKind::Button, "", "确定[&E]", -1, {2400, 2640, 990, 360}, 16, "", kDefaultButton, RoleOf(SettingsRole::Ok), "确定"},
    {"Command_取消", ControlKind::Button, "", "取消[&C]", -1, {3540, 2640, 990, 360}, 17, "", kCancelButton, RoleOf(SettingsRole::Cancel), "取消"},
    {"Command_应用", ControlKind::Button, "", "应用[&A]", -1, {4680, 2640, 990, 360}, 18, "", kDisabledAtLoad, RoleOf(SettingsRole::Apply), "应用"},
    {"Command_网络校时", ControlKind::Button, "", "网络校时[&T]", -1, {2400, 3090, 990, 360}, 19, "", kNoFlags, RoleOf(SettingsRole::TimeSync), "网络校时"},
    {"Command_关于", ControlKind::Button, "", "关于[&B]", -1, {3540, 3090, 990, 360}, 20, "", kNoFlags, RoleOf(SettingsRole::About), "关于"},
    {"Command_退出程序", ControlKind::Button, "", "退出程序[&X]", -1, {4680, 3090, 990, 360}, 21, "", kNoFlags, RoleOf(SettingsRole::Exit), "退出程序"},
}};
// clang-format on

inline constexpr DialogSpec kSettingsDialog{kSettingsDialogCaption, 5730, 3510, kSettingsControls};

}  // namespace tolvane
