#include "qt/desktop/LinuxLockSignal.h"

#include "qt/desktop/DesktopBus.h"

namespace tolvane {
namespace {

struct Saver {
    const char* service;
    const char* path;
};
// The interface is named as the service.
constexpr Saver kSavers[] = {{"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver"},
                             {"org.gnome.ScreenSaver", "/org/gnome/ScreenSaver"}};

SignalState Active(bool active) {
    return active ? SignalState::On : SignalState::Off;
}

}  // namespace

void LinuxLockSignal::Refresh() {
    QDBusConnection session = QDBusConnection::sessionBus();
    if (!m_following) {
        m_following = true;
        session.connect(QString(), QString(), kSavers[0].service, QStringLiteral("ActiveChanged"),
                        this, SLOT(FreedesktopSaverChanged(bool)));
        session.connect(QString(), QString(), kSavers[1].service, QStringLiteral("ActiveChanged"),
                        this, SLOT(GnomeSaverChanged(bool)));
    }
    // "auto" is the caller's own session, or else the user's graphical one.
    AskBus(QDBusConnection::systemBus(),
           PropertyCall(QStringLiteral("org.freedesktop.login1"),
                        QStringLiteral("/org/freedesktop/login1/session/auto"),
                        QStringLiteral("org.freedesktop.login1.Session"),
                        QStringLiteral("LockedHint")),
           this, [this](const QDBusMessage& reply) { m_locked = BooleanAnswer(reply); });
    for (std::size_t i = 0; i < std::size(kSavers); ++i) {
        AskBus(session,
               QDBusMessage::createMethodCall(kSavers[i].service, kSavers[i].path,
                                              kSavers[i].service, QStringLiteral("GetActive")),
               this, [this, i](const QDBusMessage& reply) { m_savers[i] = BooleanAnswer(reply); });
    }
}

void LinuxLockSignal::FreedesktopSaverChanged(bool active) {
    m_savers[0] = Active(active);
}

void LinuxLockSignal::GnomeSaverChanged(bool active) {
    m_savers[1] = Active(active);
}

}  // namespace tolvane
