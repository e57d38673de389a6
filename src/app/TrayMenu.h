#pragma once

#include <array>
#include <string>
#include <string_view>

#include "app/Startup.h"
#include "base/Clock.h"
#include "base/DateTimeFormatter.h"

namespace tolvane {

enum class MenuCommand { None = 0, AnnounceOff, StartAtBoot, NetworkSync, Settings, About, Exit };

enum class MenuKind { Check, Command, Separator };

struct MenuEntry {
    std::string_view name;
    std::string_view caption;  // '&' marks the access key
    MenuKind kind;
    MenuCommand command;
};

// The tray's popup menu, top to bottom.
inline constexpr std::array<MenuEntry, 10> kTrayMenu{{
    {"托盘图标_关闭报时", "关闭报时[&C]", MenuKind::Check, MenuCommand::AnnounceOff},
    {"托盘图标_开机启动", "开机启动[&R]", MenuKind::Check, MenuCommand::StartAtBoot},
    {"托盘图标_分隔符0", "-", MenuKind::Separator, MenuCommand::None},
    {"托盘图标_网络校时", "网络校时[&T]", MenuKind::Command, MenuCommand::NetworkSync},
    {"托盘图标_分隔符1", "-", MenuKind::Separator, MenuCommand::None},
    {"托盘图标_参数设置", "参数设置[&S]", MenuKind::Command, MenuCommand::Settings},
    {"托盘图标_分隔符2", "-", MenuKind::Separator, MenuCommand::None},
    {"托盘图标_关于", "关于[&A]", MenuKind::Command, MenuCommand::About},
    {"托盘图标_分隔符3", "-", MenuKind::Separator, MenuCommand::None},
    {"托盘图标_退出程序", "退出程序[&E]", MenuKind::Command, MenuCommand::Exit},
}};

// What a mouse button on the tray icon asks for: 1 (left) speaks, 2 (right) opens the menu.
enum class TrayButtonAction { None, Announce, ShowMenu };
TrayButtonAction ForTrayButton(int buttonCode);

// The four tooltip lines joined by CR LF: title, the two button hints, then the date and the
// time (the time left out at exactly midnight); a fifth "报时已关闭" while scheduled
// announcements are off; then `syncLines` (lines joined by CR LF), if any.
std::string TrayTooltipText(const LocalDateTime& now, DateTimeFormatter& formatter,
                            bool announcementsOff, std::string_view syncLines = {});

}  // namespace tolvane
