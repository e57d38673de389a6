#pragma once

#include <QDBusServiceWatcher>
#include <QElapsedTimer>
#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>
#include <vector>

#include "app/DesktopTray.h"
#include "app/MainWindowCore.h"
#include "qt/DesktopNotifications.h"
#include "qt/FormAbout.h"
#include "qt/FormAdvert.h"
#include "qt/FormSettings.h"
#include "qt/GlobalHotkey.h"
#include "qt/StatusNotifierItem.h"
#include "qt/desktop/LinuxDoNotDisturbSignal.h"
#include "qt/desktop/LinuxFullScreenSignal.h"
#include "qt/desktop/LinuxLockSignal.h"
#include "qt/desktop/LinuxMicrophoneSignal.h"

namespace tolvane {

// The hidden main window: owns the timers, the tray icon and its menu. It is never shown, and
// every decision is the core's.
class Form_Main final : public QObject, private ShellWindows {
    Q_OBJECT

public:
    Form_Main(const ShellServices& services, ProgramPlaces places);

    void Form_Load();
    // The program was started again while it runs.
    void StartedAgain() { m_core.OnStartedAgain(); }

private:
    void TrayIcon_托盘图标_Activated(QSystemTrayIcon::ActivationReason reason);
    // Puts the icon where the desktop shows it now: on the StatusNotifierItem path while a
    // watcher is on the bus, otherwise in the XEmbed tray (docking once one appears).
    void FollowTray();
    TrayPath CurrentTrayPath() const;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void SayNoTrayOnce();
    // The tooltip goes to the tray only while no menu of the icon is open.
    void PublishToolTip();
    bool MenuOpen();

    void SetTimer(MainTimer timer, int intervalMs) override;
    void KillTimer(MainTimer timer) override;
    void ShowTrayIcon() override;
    void SetTrayTooltip(const std::string& text) override;
    void SetMenuChecks(bool announceOff, bool startAtBoot) override;
    void EnableResume(bool enabled) override;
    void PopupTrayMenu() override;
    void SetCurrentFolder(const std::string& path) override;
    void HideMain() override;
    std::uint32_t MainWindowHandle() override;
    bool ShowSettings(SettingsDialog& dialog, bool enabled) override;
    void BringSettingsForward() override;
    void EnableSettings(bool enabled) override;
    void RefreshSettings() override;
    void CloseSettings() override;
    void RunAbout() override;
    void BringAboutForward() override;
    void CloseAbout() override;
    AdvertView* CreateAdvert(AdvertWindowCore& advert) override;
    void CloseAdvert() override;
    void UnloadMain() override;
    void SetTrayIconMuted(bool muted) override;
    void ShowTrayNotice(const TrayNotice& notice) override;
    HotkeyRegistration RegisterHotkey(const Hotkey& hotkey) override;
    void UnregisterHotkey() override;
    std::string HotkeyUnavailableReason() override;
    // GlobalHotkey passes on a press only once, until the key's release.
    bool IsHotkeyDown() override { return false; }

    // What the core asks about the desktop; it never calls them on its way out.
    LinuxLockSignal m_lock;
    LinuxDoNotDisturbSignal m_doNotDisturb;
    LinuxFullScreenSignal m_fullScreen;
    LinuxMicrophoneSignal m_microphone;
    // Before the windows below, which report to it, so that they are gone before it.
    MainWindowCore m_core;
    // Plain and muted; the core sets one before the icon is shown.
    std::array<QIcon, 2> m_icons;
    std::array<QTimer, kMainTimers.size()> m_timers;
    QMenu m_menu;
    QMenu m_pauseMenu;
    // Made only when first needed, while no watcher is on the bus: Qt decides once per run,
    // when its first tray icon is made, whether every tray icon goes over D-Bus.
    std::unique_ptr<QSystemTrayIcon> m_trayIcon;
    StatusNotifierItem m_sni;
    QDBusServiceWatcher m_watcherWatch;
    DesktopNotifications m_notices;
    // The menu's transient parent when a host asks for it: without a window of ours to hang
    // from, Wayland shows a menu as a toplevel window.
    QWidget m_menuAnchor;
    QPoint m_hostMenuAt;
    bool m_menuFromHost = false;
    QString m_toolTip{QStringLiteral("Tolvane")};
    bool m_menuShown = false;
    QElapsedTimer m_hostMenuSince;  // valid while the host may show the menu
    bool m_muted = false;
    bool m_trayShown = false;
    bool m_graceOver = false;
    bool m_noTraySaid = false;
    std::vector<std::pair<MenuCommand, QAction*>> m_actions;
    std::unique_ptr<Form_广告> m_advert;
    QPointer<Form_一般设置> m_settings;
    QPointer<frmAbout> m_about;
    GlobalHotkey m_hotkey{[this] { m_core.OnHotkey(); }};
};

}  // namespace tolvane
