#pragma once

#include <array>
#include <string>
#include <string_view>

#include "app/Startup.h"
#include "base/Clock.h"
#include "base/DateTimeFormatter.h"

namespace tolvane {

enum class MenuCommand {
    None = 0,
    AnnounceOff,
    StartAtBoot,
    NetworkSync,
    Settings,
    About,
    Exit,
    PauseHour,
    PauseMorning,
    Resume
};

// A submenu entry opens kPauseMenu.
enum class MenuKind { Check, Command, Separator, Submenu };

struct MenuEntry {
    std::string_view name;
    std::string_view caption;  // '&' marks the access key
    MenuKind kind;
    MenuCommand command;
};

// The tray's popup menu, top to bottom.
inline constexpr std::array<MenuEntry, 12> kTrayMenu{{
    {"托盘图标_关闭报时", "关闭报时[&C]", MenuKind::Check, MenuCommand::AnnounceOff},
    {"托盘图标_开机启动", "开机启动[&R]", MenuKind::Check, MenuCommand::StartAtBoot},
    {"托盘图标_分隔符0", "-", MenuKind::Separator, MenuCommand::None},
    {"托盘图标_网络校时", "网络校时[&T]", MenuKind::Command, MenuCommand::NetworkSync},
    {"托盘图标_分隔符1", "-", MenuKind::Separator, MenuCommand::None},
    {"托盘图标_参数设置", "参数设置[&S]", MenuKind::Command, MenuCommand::Settings},
    {"托盘图标_分隔符2", "-", MenuKind::Separator, MenuCommand::None},
    {"托盘图标_关于", "关于[&A]", MenuKind::Command, MenuCommand::About},
    {"托盘图标_分隔符3", "-", MenuKind::Separator, MenuCommand::None},
    {"托盘图标_暂停报时", "暂停报时[&P]", MenuKind::Submenu, MenuCommand::None},
    {"托盘图标_分隔符4", "-", MenuKind::Separator, MenuCommand::None},
    {"托盘图标_退出程序", "退出程序[&E]", MenuKind::Command, MenuCommand::Exit},
}};

// The pause's submenu; 继续报时 is greyed while no pause runs.
inline constexpr std::array<MenuEntry, 3> kPauseMenu{{
    {"暂停报时_一小时", "&1 小时", MenuKind::Command, MenuCommand::PauseHour},
    {"暂停报时_到明天早上", "到明天早上[&M]", MenuKind::Command, MenuCommand::PauseMorning},
    {"暂停报时_继续报时", "继续报时[&R]", MenuKind::Command, MenuCommand::Resume},
}};

// What a mouse button on the tray icon asks for: 1 (left) speaks, 2 (right) opens the menu,
// 4 (middle) speaks the date and the time.
enum class TrayButtonAction { None, Announce, ShowMenu, AnnounceDate };
TrayButtonAction ForTrayButton(int buttonCode);

// The four tooltip lines joined by CR LF: title, the two button hints, then the date and the
// time (the time left out at exactly midnight); a fifth "报时已关闭" while scheduled
// announcements are off; then `syncLines` (lines joined by CR LF), if any.
std::string TrayTooltipText(const LocalDateTime& now, DateTimeFormatter& formatter,
                            bool announcementsOff, std::string_view syncLines = {});

}  // namespace tolvane
