#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

#include <array>
#include <memory>
#include <vector>

#include "app/MainWindowCore.h"
#include "qt/FormAbout.h"
#include "qt/FormAdvert.h"
#include "qt/FormSettings.h"
#include "qt/GlobalHotkey.h"

namespace tolvane {

// The hidden main window: owns the timers, the tray icon and its menu. It is never shown, and
// every decision is the core's.
class Form_Main final : public QObject, private ShellWindows {
    Q_OBJECT

public:
    Form_Main(const ShellServices& services, ProgramFolder folder);

    void Form_Load();

private:
    void TrayIcon_托盘图标_Activated(QSystemTrayIcon::ActivationReason reason);

    void SetTimer(MainTimer timer, int intervalMs) override;
    void KillTimer(MainTimer timer) override;
    void ShowTrayIcon() override;
    void SetTrayTooltip(const std::string& text) override;
    void SetMenuChecks(bool announceOff, bool startAtBoot) override;
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

    // First, so that the windows below, which report to it, are gone before it.
    MainWindowCore m_core;
    // Plain and muted; the core sets one before the icon is shown.
    std::array<QIcon, 2> m_icons;
    std::array<QTimer, kMainTimers.size()> m_timers;
    QSystemTrayIcon m_trayIcon;
    QMenu m_menu;
    std::vector<std::pair<MenuCommand, QAction*>> m_actions;
    std::unique_ptr<Form_广告> m_advert;
    QPointer<Form_一般设置> m_settings;
    QPointer<frmAbout> m_about;
    GlobalHotkey m_hotkey{[this] { m_core.OnHotkey(); }};
};

}  // namespace tolvane
