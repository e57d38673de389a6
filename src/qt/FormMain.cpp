#include "qt/FormMain.h"

#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QIcon>
#include <QKeyEvent>
#include <QWindow>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>

#include "qt/QtText.h"

namespace tolvane {
namespace {

// The clock, or its muted variant (crossed out) while announcements are off.
QIcon ProgramIcon(bool muted) {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icon/%1%2.png").arg(muted ? "muted-" : "").arg(size),
                     QSize(size, size));
    }
    return icon;
}

// A menu the host shows is on the screen this soon after it asked for its entries, and where the
// screen cannot be asked, taken to be closed this long after.
constexpr qint64 kHostMenuMapMs = 1000;
constexpr qint64 kHostMenuMs = 10'000;

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
// Long enough after start for the tray host to have docked and drawn the icon.
constexpr int kMenuWarmUpMs = 500;
const QString kIconName = QStringLiteral("tolvane");

// An XEmbed tray is the owner of the display's system tray selection.
bool XEmbedTrayPresent() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->display() == nullptr) return false;
    Display* display = x11->display();
    const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(DefaultScreen(display));
    return XGetSelectionOwner(display, XInternAtom(display, name.constData(), False)) != None;
}

// Whether some program shows a popup menu on this X screen: a mapped override-redirect window
// typed as a menu. Nothing where there is no X11 to ask.
std::optional<bool> PopupMenuOnScreen() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->display() == nullptr) return std::nullopt;
    Display* display = x11->display();
    const Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    const Atom menus[] = {XInternAtom(display, "_NET_WM_WINDOW_TYPE_POPUP_MENU", False),
                          XInternAtom(display, "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU", False)};
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        return false;
    }
    bool shown = false;
    for (unsigned int i = 0; i < count && !shown; ++i) {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display, children[i], &attributes) ||
            !attributes.override_redirect || attributes.map_state != IsViewable) {
            continue;
        }
        Atom actual = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, children[i], type, 0, 8, False, XA_ATOM, &actual, &format,
                               &items, &after, &data) == Success &&
            data != nullptr && format == 32) {
            const auto* atoms = reinterpret_cast<const Atom*>(data);
            shown = std::any_of(atoms, atoms + items, [&menus](Atom atom) {
                return atom == menus[0] || atom == menus[1];
            });
        }
        if (data != nullptr) XFree(data);
    }
    if (children != nullptr) XFree(children);
    return shown;
}

bool OnWayland() {
    return QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

ShellServices WithSignals(ShellServices services,
                          const std::array<DesktopSignalSource*, kDesktopSignals>& sources) {
    services.desktopSignals = sources;
    return services;
}

}  // namespace

Form_Main::Form_Main(const ShellServices& services, ProgramPlaces places)
    : m_core(WithSignals(services, {&m_lock, &m_doNotDisturb, &m_fullScreen, &m_microphone}),
             std::move(places), *this),
      m_icons{ProgramIcon(false), ProgramIcon(true)},
      m_sni(m_menu, {[this] { m_core.OnTrayButton(1); },
                     [this](int x, int y) {
                         m_hostMenuAt = QPoint(x, y);
                         m_menuFromHost = true;
                         m_core.OnTrayButton(2);
                         m_menuFromHost = false;
                     },
                     [this] { m_core.OnTrayButton(4); }}),
      m_watcherWatch(kWatcherService, QDBusConnection::sessionBus(),
                     QDBusServiceWatcher::WatchForOwnerChange),
      m_menuAnchor(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                Qt::WindowDoesNotAcceptFocus) {
    setObjectName(FromUtf8(kMainWindowTitle));
    // Title bars, task switchers and the notification server show the program's own icon.
    QApplication::setWindowIcon(m_icons[0]);
    QGuiApplication::setDesktopFileName(QStringLiteral("tolvane"));
    for (MainTimer timer : kMainTimers) {
        QTimer& qtimer = m_timers[static_cast<std::size_t>(timer)];
        // The announcement timer is aimed just past each second boundary.
        qtimer.setTimerType(Qt::PreciseTimer);
        connect(&qtimer, &QTimer::timeout, this, [this, timer] { m_core.OnTimer(timer); });
    }

    m_menu.setTitle(QStringLiteral("托盘图标"));
    const auto addEntry = [this](QMenu& menu, const MenuEntry& entry) {
        QAction* action = menu.addAction(FromUtf8(entry.caption));
        action->setObjectName(FromUtf8(entry.name));
        action->setCheckable(entry.kind == MenuKind::Check);
        const MenuCommand command = entry.command;
        connect(action, &QAction::triggered, this,
                [this, command] { m_core.OnMenuCommand(command); });
        m_actions.emplace_back(command, action);
    };
    for (const MenuEntry& entry : kPauseMenu) addEntry(m_pauseMenu, entry);
    EnableResume(false);
    for (const MenuEntry& entry : kTrayMenu) {
        if (entry.kind == MenuKind::Separator) {
            m_menu.addSeparator();
        } else if (entry.kind == MenuKind::Submenu) {
            m_pauseMenu.setTitle(FromUtf8(entry.caption));
            m_pauseMenu.menuAction()->setObjectName(FromUtf8(entry.name));
            m_menu.addMenu(&m_pauseMenu);
        } else {
            addEntry(m_menu, entry);
        }
    }

    m_menuAnchor.setAttribute(Qt::WA_TranslucentBackground);
    // A minimum equal to the maximum makes tiling compositors (sway) float the anchor rather
    // than give it a tile that shrinks every other window while the menu is open.
    m_menuAnchor.setFixedSize(1, 1);
    if (OnWayland()) {
        // Qt makes a grabbing xdg_popup only with the serial of an input event of ours, and
        // the click that asked for the menu went to the host: without one the menu would be a
        // toplevel. Typed as a tooltip it is a popup of the anchor that takes no grab, so the
        // anchor, which the compositor focuses, passes on keys and a click elsewhere.
        m_menu.setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
        m_menuAnchor.installEventFilter(this);
    }
    connect(&m_menu, &QMenu::aboutToHide, &m_menuAnchor, &QWidget::hide);
    // A tooltip that changes while a menu is open comes back over it (xfce4-panel shows it again
    // at every change), so the changes wait for the menu to close.
    connect(&m_menu, &QMenu::aboutToShow, this, [this] { m_menuShown = true; });
    connect(&m_menu, &QMenu::aboutToHide, this, [this] {
        m_menuShown = false;
        PublishToolTip();
    });
    connect(&m_sni, &StatusNotifierItem::HostMenuShown, this, [this] { m_hostMenuSince.start(); });
    connect(&m_watcherWatch, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        FollowTray();
        if (m_graceOver) SayNoTrayOnce();
    });
}

void Form_Main::FollowTray() {
    if (!m_trayShown) return;
    if (CurrentTrayPath() == TrayPath::StatusNotifier) {
        if (m_trayIcon) m_trayIcon->hide();
        m_sni.RegisterWithWatcher();
        return;
    }
    if (!m_trayIcon) {
        m_trayIcon = std::make_unique<QSystemTrayIcon>();
        m_trayIcon->setContextMenu(&m_menu);
        connect(m_trayIcon.get(), &QSystemTrayIcon::activated, this,
                &Form_Main::TrayIcon_托盘图标_Activated);
    }
    m_trayIcon->setIcon(m_icons[m_muted ? 1 : 0]);
    m_trayIcon->setToolTip(m_toolTip);
    m_trayIcon->show();
}

bool Form_Main::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_menuAnchor || !m_menu.isVisible()) return false;
    // Told by type, not by QEvent::KeyPress, which Xlib's macro of that name spoils.
    if (dynamic_cast<QKeyEvent*>(event) != nullptr) {
        QCoreApplication::sendEvent(&m_menu, event);
        return true;
    }
    if (event->type() == QEvent::WindowDeactivate) m_menu.hide();
    return false;
}

TrayPath Form_Main::CurrentTrayPath() const {
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    const bool watcher =
        m_sni.IsExported() && bus != nullptr && bus->isServiceRegistered(kWatcherService);
    return ChooseTrayPath(watcher, XEmbedTrayPresent());
}

void Form_Main::SayNoTrayOnce() {
    if (!ShouldSayNoTray(CurrentTrayPath(), m_noTraySaid)) return;
    m_noTraySaid = true;
    std::fputs(kNoTrayStderrLine.data(), stderr);
    if (m_notices.ServerPresent()) {
        m_notices.Show(kNoTrayNotice, StyleOfNotice(kNoTrayNotice.kind), kIconName);
    }
}

void Form_Main::Form_Load() {
    m_core.Form_Load();
    // Qt loads the fonts (all of fontconfig's files) and lays out a menu the first time it is
    // shown: done once the icon is up, the first right click opens it as quickly as later ones.
    QTimer::singleShot(kMenuWarmUpMs, this, [this] {
        m_menu.ensurePolished();
        m_menu.adjustSize();
    });
}

void Form_Main::TrayIcon_托盘图标_Activated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger) m_core.OnTrayButton(1);
    if (reason == QSystemTrayIcon::Context) m_core.OnTrayButton(2);
    if (reason == QSystemTrayIcon::MiddleClick) m_core.OnTrayButton(4);
}

void Form_Main::SetTimer(MainTimer timer, int intervalMs) {
    m_timers[static_cast<std::size_t>(timer)].start(intervalMs);
}

void Form_Main::KillTimer(MainTimer timer) {
    m_timers[static_cast<std::size_t>(timer)].stop();
}

void Form_Main::ShowTrayIcon() {
    m_trayShown = true;
    FollowTray();
    QTimer::singleShot(kNoTrayGraceMs, this, [this] {
        m_graceOver = true;
        SayNoTrayOnce();
    });
}

void Form_Main::SetTrayTooltip(const std::string& text) {
    m_toolTip = FromUtf8(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    PublishToolTip();
}

void Form_Main::PublishToolTip() {
    if (MenuOpen()) return;
    m_sni.SetToolTip(m_toolTip);
    if (m_trayIcon) m_trayIcon->setToolTip(m_toolTip);
}

bool Form_Main::MenuOpen() {
    if (m_menuShown) return true;
    if (!m_hostMenuSince.isValid()) return false;
    // The host says when it shows its menu, never when it closes it: the screen tells, or where
    // it cannot (Wayland), a while. The menu maps only after the host has asked.
    const qint64 since = m_hostMenuSince.elapsed();
    const std::optional<bool> shown = PopupMenuOnScreen();
    if (since < kHostMenuMapMs || (shown ? *shown : since < kHostMenuMs)) return true;
    m_hostMenuSince.invalidate();
    return false;
}

void Form_Main::SetMenuChecks(bool announceOff, bool startAtBoot) {
    for (const auto& [command, action] : m_actions) {
        if (command == MenuCommand::AnnounceOff) action->setChecked(announceOff);
        if (command == MenuCommand::StartAtBoot) action->setChecked(startAtBoot);
    }
    m_sni.MenuChanged();
}

void Form_Main::EnableResume(bool enabled) {
    for (const auto& [command, action] : m_actions) {
        if (command == MenuCommand::Resume) action->setEnabled(enabled);
    }
    m_sni.MenuChanged();
}

void Form_Main::PopupTrayMenu() {
    if (m_menu.isVisible()) return;
    if (!m_menuFromHost) {
        m_menu.popup(QCursor::pos());
        return;
    }
    // Hosts may send (0, 0) where they cannot tell where the pointer is.
    const QPoint at = m_hostMenuAt.isNull() ? QCursor::pos() : m_hostMenuAt;
    m_menuAnchor.move(at);
    m_menuAnchor.show();
    m_menu.winId();
    m_menu.windowHandle()->setTransientParent(m_menuAnchor.windowHandle());
    // The compositor places the anchor wherever it likes; the menu opens at its corner.
    m_menu.popup(OnWayland() ? m_menuAnchor.windowHandle()->mapToGlobal(QPoint()) : at);
}

void Form_Main::SetCurrentFolder(const std::string& path) {
    QDir::setCurrent(QString::fromStdString(path));
}

void Form_Main::HideMain() {
    // Nothing to hide: this window never had a native one.
}

std::uint32_t Form_Main::MainWindowHandle() {
    return 0;
}

bool Form_Main::ShowSettings(SettingsDialog& dialog, bool enabled) {
    m_settings = new Form_一般设置(dialog);
    m_settings->setEnabled(enabled);
    m_settings->Form_Load();
    return true;
}

void Form_Main::BringSettingsForward() {
    if (m_settings) m_settings->BringForward();
}

void Form_Main::EnableSettings(bool enabled) {
    if (!m_settings) return;
    m_settings->setEnabled(enabled);
    // Back from the About box, the keyboard comes back to it.
    if (enabled) m_settings->activateWindow();
}

void Form_Main::RefreshSettings() {
    if (m_settings) m_settings->Render();
}

void Form_Main::CloseSettings() {
    if (m_settings) m_settings->Unload();
}

void Form_Main::RunAbout() {
    frmAbout about(m_icons[0]);
    m_about = &about;
    about.ShowModal();
}

void Form_Main::BringAboutForward() {
    if (m_about) m_about->BringForward();
}

void Form_Main::CloseAbout() {
    if (m_about) m_about->Unload();
}

AdvertView* Form_Main::CreateAdvert(AdvertWindowCore& advert) {
    m_advert = std::make_unique<Form_广告>(advert);
    return m_advert.get();
}

void Form_Main::CloseAdvert() {
    if (m_advert != nullptr) m_advert->close();
}

void Form_Main::SetTrayIconMuted(bool muted) {
    m_muted = muted;
    m_sni.SetIcon(muted ? kIconName + QStringLiteral("-muted") : kIconName, m_icons[muted ? 1 : 0]);
    if (m_trayIcon) m_trayIcon->setIcon(m_icons[muted ? 1 : 0]);
}

void Form_Main::ShowTrayNotice(const TrayNotice& notice) {
    const NoticeStyle style = StyleOfNotice(notice.kind);
    switch (ChooseNoticeRoute(CurrentTrayPath(), m_notices.ServerPresent())) {
        case NoticeRoute::NotificationServer:
            m_notices.Show(notice, style, kIconName);
            break;
        case NoticeRoute::TrayBalloon:
            if (m_trayIcon) {
                m_trayIcon->showMessage(FromUtf8(notice.title), FromUtf8(notice.text),
                                        notice.kind == NoticeKind::Info
                                            ? QSystemTrayIcon::Information
                                            : QSystemTrayIcon::Warning,
                                        style.timeoutMs);
            }
            break;
        case NoticeRoute::StandardError:
            std::fprintf(stderr, "tolvane: %s: %s\n", notice.title.c_str(), notice.text.c_str());
            break;
    }
}

HotkeyRegistration Form_Main::RegisterHotkey(const Hotkey& hotkey) {
    return m_hotkey.Register(hotkey);
}

void Form_Main::UnregisterHotkey() {
    m_hotkey.Unregister();
}

std::string Form_Main::HotkeyUnavailableReason() {
    return m_hotkey.UnavailableReason().toStdString();
}

void Form_Main::UnloadMain() {
    if (m_trayIcon) m_trayIcon->hide();
    for (MainTimer timer : kMainTimers) KillTimer(timer);
    QCoreApplication::exit(0);
}

}  // namespace tolvane
