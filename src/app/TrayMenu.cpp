#include "app/TrayMenu.h"

namespace tolvane {

TrayButtonAction ForTrayButton(int buttonCode) {
    switch (buttonCode) {
        case 1:
            return TrayButtonAction::Announce;
        case 2:
            return TrayButtonAction::ShowMenu;
        case 4:
            return TrayButtonAction::AnnounceDate;
        default:
            return TrayButtonAction::None;
    }
}

std::string TrayTooltipText(const LocalDateTime& now, DateTimeFormatter& formatter,
                            bool announcementsOff, std::string_view syncLines) {
    std::string dateTime = formatter.ShortDate(now);
    if (now.hour != 0 || now.minute != 0 || now.second != 0) {
        dateTime += " " + formatter.LongTime(now);
    }
    return std::string(kMainWindowTitle) + "\r\n鼠标右键单击：菜单\r\n鼠标左键单击：报时\r\n" +
           dateTime + (announcementsOff ? "\r\n报时已关闭" : "") +
           (syncLines.empty() ? "" : "\r\n" + std::string(syncLines));
}

}  // namespace tolvane
