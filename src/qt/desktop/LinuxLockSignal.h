#pragma once

#include <QObject>

#include <array>

#include "base/DesktopSignals.h"

namespace tolvane {

// The session locked, or the screen saver running: logind's LockedHint for this session on the
// system bus, and the screen savers on the session bus (org.freedesktop.ScreenSaver, as KDE and
// others offer it, and org.gnome.ScreenSaver), asked at each look and followed through their
// ActiveChanged from the first look on.
class LinuxLockSignal final : public QObject, public DesktopSignalSource {
    Q_OBJECT

public:
    void Refresh() override;
    SignalState State() const override { return AnyOn({m_locked, m_savers[0], m_savers[1]}); }

private slots:
    void FreedesktopSaverChanged(bool active);
    void GnomeSaverChanged(bool active);

private:
    SignalState m_locked = SignalState::Unknown;
    std::array<SignalState, 2> m_savers{};  // freedesktop, GNOME
    bool m_following = false;
};

}  // namespace tolvane
