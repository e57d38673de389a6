#pragma once

#include <QString>

#include "app/DesktopTray.h"

namespace tolvane {

// Notices through the desktop's org.freedesktop.Notifications server on the session bus.
class DesktopNotifications {
public:
    // True where a server runs or the bus can start one.
    bool ServerPresent() const;
    // Sent without waiting for the server.
    void Show(const TrayNotice& notice, NoticeStyle style, const QString& iconName) const;
};

}  // namespace tolvane
