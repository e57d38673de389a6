#pragma once

#include <array>
#include <string_view>

#include "base/DialogLayout.h"

namespace tolvane {

// What the 高级设置 page's logic does with a control.
enum class AdvancedRole : int {
    None = 0,
    HalfHour,      // check box: 半点报时
    Quiet,         // check box: a quiet span or none
    QuietStart,    // text field: 安静开始
    QuietEnd,      // text field: 安静结束
    Volume,        // slider: 报时音量
    VolumeText,    // label: the slider's value
    Phrasing,      // option group: 报时说法
    Advert,        // option group: 广告设置, with 从不显示
    Preview,       // speaks the time now with the page's choices
    VoicePack,     // drop-down: 语音包, the default voice or a pack found in Sound
    Hotkey,        // text field: 报时热键
    Message,       // label: why the hotkey could not be saved
    QuietMessage,  // label beside the times: why they could not be saved
    BusyQuiet,     // check box: 忙碌时不报时
    Ok,
    Cancel,
    Apply,
};

constexpr int RoleOf(AdvancedRole role) {
    return static_cast<int>(role);
}

inline constexpr std::string_view kAdvancedDialogCaption = "高级设置";
inline constexpr std::string_view kHalfHourTooltip = "每小时的 30 分也按所选格式报时";
inline constexpr std::string_view kQuietTooltip = "这段时间内不自动报时，单击托盘图标仍会报时";
inline constexpr std::string_view kVolumeTooltip = "只改变报时的音量，不改变系统音量";
inline constexpr std::string_view kPreviewTooltip = "按当前的音量、说法和声音报一次现在的时间";
inline constexpr std::string_view kVoicePackTooltip =
    "Sound 文件夹里的声音；自己录的一套放进 Sound 下的新文件夹即可选用";
// Said of a folder of Sound that is not a whole pack, after its name in quotes: the clips it
// lacks; in the list's tooltip, and when it is chosen, which is refused.
inline constexpr std::string_view kVoiceLacks = "缺少 ";
inline constexpr std::string_view kVoiceRefused = "，不能选用";
// The first choice of the voice drop-down: the clips in Sound itself.
inline constexpr std::string_view kDefaultVoiceChoice = "默认";
inline constexpr std::string_view kHotkeyTooltip =
    "在任何程序里按下这组键即报时，如 Ctrl+Alt+T；留空则不用热键";
inline constexpr std::string_view kBusyQuietTooltip =
    "锁屏或免打扰时不报；全屏、演示或使用麦克风时等结束后再报（最多等 10 分钟）";
// Shown beside the times when OK or Apply finds one it cannot read, or one past the day's end;
// nothing is saved then. Short enough that the example never wraps away from its words.
inline constexpr std::string_view kBadQuietTimeMessage = "请按“时:分”填写，如 22:00";
inline constexpr std::string_view kQuietTimeRangeMessage = "时间应在 00:00 到 23:59 之间";

// clang-format off
// Form_高级设置, in twips; controls inside a frame are placed relative to it.
inline constexpr std::array<ControlSpec, 28> kAdvancedControls{{
    {"GroupBox_定时报时", ControlKind::GroupFrame, "", "定时报时", -1, {30, 30, 2805, 1650}, -1, "", kNoFlags, RoleOf(AdvancedRole::None), "定时报时"},
    {"Check_半点报时", ControlKind::CheckBox, "GroupBox_定时报时", "半点报时", -1, {210, 300, 2445, 255}, 0, kHalfHourTooltip, kNoFlags, RoleOf(AdvancedRole::HalfHour), "半点报时"},
    {"Check_安静时段", ControlKind::CheckBox, "GroupBox_定时报时", "安静时段", -1, {210, 600, 2445, 255}, 1, kQuietTooltip, kNoFlags, RoleOf(AdvancedRole::Quiet), "安静时段"},
    {"Label_从", ControlKind::Label, "GroupBox_定时报时", "从", -1, {450, 945, 225, 195}, -1, "", kNoFlags, RoleOf(AdvancedRole::None), ""},
    {"Text_安静开始", ControlKind::TextField, "GroupBox_定时报时", "", -1, {690, 900, 750, 285}, 2, "", kNoFlags, RoleOf(AdvancedRole::QuietStart), "安静时段 从"},
    {"Label_到", ControlKind::Label, "GroupBox_定时报时", "到", -1, {1560, 945, 225, 195}, -1, "", kNoFlags, RoleOf(AdvancedRole::None), ""},
    {"Text_安静结束", ControlKind::TextField, "GroupBox_定时报时", "", -1, {1800, 900, 750, 285}, 3, "", kNoFlags, RoleOf(AdvancedRole::QuietEnd), "安静时段 到"},
    {"Label_时段提示", ControlKind::Label, "GroupBox_定时报时", "", -1, {210, 1230, 2445, 390}, -1, "", kNoFlags, RoleOf(AdvancedRole::QuietMessage), ""},
    {"GroupBox_广告设置", ControlKind::GroupFrame, "", "广告设置", -1, {30, 1740, 2805, 1095}, -1, "", kNoFlags, RoleOf(AdvancedRole::None), "广告设置"},
    {"Option_广告设置", ControlKind::OptionButton, "GroupBox_广告设置", "开启显示一次", 0, {210, 270, 2235, 255}, 4, "", kNoFlags, RoleOf(AdvancedRole::Advert), "开启显示一次"},
    {"Option_广告设置", ControlKind::OptionButton, "GroupBox_广告设置", "一天显示一次", 1, {210, 540, 2235, 255}, 5, "", kNoFlags, RoleOf(AdvancedRole::Advert), "一天显示一次"},
    {"Option_广告设置", ControlKind::OptionButton, "GroupBox_广告设置", "从不显示", 2, {210, 810, 2235, 255}, 6, "", kNoFlags, RoleOf(AdvancedRole::Advert), "从不显示"},
    {"GroupBox_报时声音", ControlKind::GroupFrame, "", "报时声音", -1, {2880, 30, 2805, 1710}, -1, "", kNoFlags, RoleOf(AdvancedRole::None), "报时声音"},
    {"Label_报时音量", ControlKind::Label, "GroupBox_报时声音", "音量", -1, {210, 330, 420, 195}, -1, "", kNoFlags, RoleOf(AdvancedRole::None), ""},
    {"Slider_报时音量", ControlKind::Slider, "GroupBox_报时声音", "", -1, {630, 270, 1470, 330}, 7, kVolumeTooltip, kNoFlags, RoleOf(AdvancedRole::Volume), "音量"},
    {"Label_音量值", ControlKind::Label, "GroupBox_报时声音", "", -1, {2130, 330, 600, 195}, -1, "", kNoFlags, RoleOf(AdvancedRole::VolumeText), ""},
    {"Option_报时说法", ControlKind::OptionButton, "GroupBox_报时声音", "标准说法（下午二点）", 0, {210, 690, 2445, 255}, 8, "", kNoFlags, RoleOf(AdvancedRole::Phrasing), "标准说法（下午二点）"},
    {"Option_报时说法", ControlKind::OptionButton, "GroupBox_报时声音", "自然说法（下午两点半）", 1, {210, 990, 2445, 255}, 9, "", kNoFlags, RoleOf(AdvancedRole::Phrasing), "自然说法（下午两点半）"},
    {"Label_语音包", ControlKind::Label, "GroupBox_报时声音", "声音", -1, {210, 1320, 420, 195}, -1, "", kNoFlags, RoleOf(AdvancedRole::None), ""},
    {"Combo_语音包", ControlKind::DropDown, "GroupBox_报时声音", "", -1, {630, 1260, 1110, 330}, 10, kVoicePackTooltip, kNoFlags, RoleOf(AdvancedRole::VoicePack), "声音"},
    {"Command_试听", ControlKind::Button, "GroupBox_报时声音", "试听[&T]", -1, {1800, 1260, 855, 330}, 11, kPreviewTooltip, kNoFlags, RoleOf(AdvancedRole::Preview), "试听"},
    {"Label_报时热键", ControlKind::Label, "", "报时热键", -1, {3090, 1845, 900, 195}, -1, "", kNoFlags, RoleOf(AdvancedRole::None), ""},
    {"Text_报时热键", ControlKind::TextField, "", "", -1, {3990, 1800, 1695, 285}, 12, kHotkeyTooltip, kNoFlags, RoleOf(AdvancedRole::Hotkey), "报时热键"},
    {"Check_忙碌时不报时", ControlKind::CheckBox, "", "忙碌时不报时", -1, {3090, 2160, 2595, 255}, 13, kBusyQuietTooltip, kNoFlags, RoleOf(AdvancedRole::BusyQuiet), "忙碌时不报时"},
    {"Label_提示", ControlKind::Label, "", "", -1, {2880, 2460, 2805, 420}, -1, "", kNoFlags, RoleOf(AdvancedRole::Message), ""},
    {"Command_确定", ControlKind::Button, "", "确定[&E]", -1, {2400, 2925, 990, 360}, 14, "", kDefaultButton, RoleOf(AdvancedRole::Ok), "确定"},
    {"Command_取消", ControlKind::Button, "", "取消[&C]", -1, {3540, 2925, 990, 360}, 15, "", kCancelButton, RoleOf(AdvancedRole::Cancel), "取消"},
    {"Command_应用", ControlKind::Button, "", "应用[&A]", -1, {4680, 2925, 990, 360}, 16, "", kDisabledAtLoad, RoleOf(AdvancedRole::Apply), "应用"},
}};
// clang-format on

// The volume slider's step for Page Up and Page Down, in percent.
inline constexpr int kVolumePageStep = 10;

// How many characters a text field takes: a time, or the longest hotkey ("Ctrl+Alt+Shift+Win+
// PageDown").
constexpr int TextFieldChars(AdvancedRole role) {
    return role == AdvancedRole::Hotkey ? 32 : 8;
}

inline constexpr DialogSpec kAdvancedDialog{kAdvancedDialogCaption, 5730, 3345, kAdvancedControls};

}  // namespace tolvane
