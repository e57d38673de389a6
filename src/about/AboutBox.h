#pragma once

#include <array>
#include <string>
#include <string_view>

#include "about/Version.h"
#include "base/DialogLayout.h"

namespace tolvane {

struct ProgramVersion {
    int major;
    int minor;
    int revision;
};

// The release shown in the About box; the main window's title keeps its own fixed text.
inline constexpr ProgramVersion kProgramVersion{TOLVANE_VERSION_MAJOR, TOLVANE_VERSION_MINOR,
                                                TOLVANE_VERSION_REVISION};
inline constexpr std::string_view kApplicationTitle = "Tolvane";

// "版本 " and the version with a third component that is always 0: 版本 3.8.0.3.
std::string VersionText(const ProgramVersion& version);
// "关于 " and the application title.
std::string AboutCaption();

inline constexpr std::array<std::string_view, 5> kAboutDescriptionLines{
    "一款用中文语音为您报时的免费软件。",
    "同时还具有利用英特网时间服务器校准本地时间的功能。该软件功能简明扼要，安装删除均很简单是一款"
    "绿色软件。",
    "软件运行以图标形式显示在桌面系统托盘上。",
    "到达设定时间时就有女童为您报告时间，或者，您用鼠标左键点击图标也有女童声为您报告当前时间，用"
    "鼠标右键点击图标则弹出菜单，",
    "您可以进入设置界面，进行有关项目的设置，如设定报时规则、网络校时、等等。",
};

// The five lines joined by CR LF.
std::string AboutDescription();

// Said in a message over the About box when no browser could be started for the link.
std::string NoBrowserMessage(std::string_view address);

// What the About box's controls show; the renderer fills each label from its role.
enum class AboutRole : int { None = 0, Icon, Title, Version, Description, Disclaimer, Link, Ok };

constexpr int RoleOf(AboutRole role) {
    return static_cast<int>(role);
}

// clang-format off
// frmAbout, in twips: icon, title and version at the top, the description in the middle, an
// etched line, then "官方网站：" with the link at the bottom left and OK at the bottom right.
// Captions of the title, version, description and link are set as the box loads.
// The link reaches within a pixel of OK: the default https:// address just fits at every DPI.
inline constexpr std::array<ControlSpec, 8> kAboutControls{{
    {"picIcon", ControlKind::Picture, "", "", -1, {120, 120, 480, 480}, -1, "", kNoFlags, RoleOf(AboutRole::Icon), ""},
    {"lblTitle", ControlKind::Label, "", "", -1, {720, 120, 4890, 255}, -1, "", kNoFlags, RoleOf(AboutRole::Title), ""},
    {"lblVersion", ControlKind::Label, "", "", -1, {720, 390, 4890, 210}, -1, "", kNoFlags, RoleOf(AboutRole::Version), ""},
    {"lblDescription", ControlKind::Label, "", "", -1, {120, 690, 5490, 1830}, -1, "", kNoFlags, RoleOf(AboutRole::Description), ""},
    {"Line1", ControlKind::Separator, "", "", -1, {60, 2565, 5610, 30}, -1, "", kNoFlags, RoleOf(AboutRole::None), ""},
    {"lblDisclaimer", ControlKind::Label, "", "官方网站：", -1, {90, 2715, 840, 210}, -1, "", kNoFlags, RoleOf(AboutRole::Disclaimer), ""},
    {"Label_链接官方网站", ControlKind::LinkLabel, "", "", -1, {930, 2700, 3825, 240}, 1, "", kNoFlags, RoleOf(AboutRole::Link), ""},
    {"cmdOK", ControlKind::Button, "", "确定", -1, {4770, 2640, 900, 360}, 0, "", kDefaultButton | kCancelButton, RoleOf(AboutRole::Ok), "确定"},
}};
// clang-format on

inline constexpr DialogSpec kAboutDialog{"", 5730, 3090, kAboutControls};

// The text a control of the About box shows: its fixed caption, or what the box sets at load
// (`linkAddress` for the link).
std::string AboutText(const ControlSpec& control, std::string_view linkAddress);

}  // namespace tolvane
