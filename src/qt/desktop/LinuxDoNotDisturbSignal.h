#pragma once

#include <QObject>

#include "base/DesktopSignals.h"
#include "qt/desktop/GnomeNotificationSettings.h"

namespace tolvane {

// Do-not-disturb, asked of whichever notification server runs: dunst's paused
// (org.dunstproject.cmd0), xfce4-notifyd's /do-not-disturb (xfconf), GNOME Shell's show-banners
// (GSettings), and any other server's Inhibited property (KDE's). No server: unknown.
class LinuxDoNotDisturbSignal final : public QObject, public SingleStateSignal {
    Q_OBJECT

public:
    void Refresh() override;

private:
    void AskServer(const QString& name);

    GnomeNotificationSettings m_gnome;
};

}  // namespace tolvane
