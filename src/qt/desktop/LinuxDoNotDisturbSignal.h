#pragma once

#include <QObject>

#include "base/DesktopSignals.h"
#include "qt/desktop/GnomeNotificationSettings.h"

namespace tolvane {

// Do-not-disturb, asked of whichever notification server runs: dunst's paused
// (org.dunstproject.cmd0), xfce4-notifyd's /do-not-disturb (xfconf), GNOME Shell's show-banners
// (GSettings), and any other server's Inhibited property (KDE's). No server: unknown.
class LinuxDoNotDisturbSignal final : public QObject, public DesktopSignalSource {
    Q_OBJECT

public:
    void Refresh() override;
    SignalState State() const override { return m_state; }

private:
    void AskServer(const QString& name);

    SignalState m_state = SignalState::Unknown;
    GnomeNotificationSettings m_gnome;
};

}  // namespace tolvane
