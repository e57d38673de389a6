#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>

#include <memory>
#include <vector>

#include "app/MainWindowCore.h"
#include "app/ShellWindows.h"
#include "promo/DeferredTasks.h"
#include "qt/FormAbout.h"
#include "qt/FormAdvert.h"
#include "qt/FormSettings.h"

namespace tolvane {

// The hidden main window: owns the timers, the tray icon and its menu, and, through the core,
// all decisions. It is never shown.
class Form_Main final : public QObject, private ShellWindows, private AdvertLoader {
    Q_OBJECT

public:
    Form_Main(const ShellServices& services, ProgramFolder folder);

    void Form_Load();

private:
    void Timer_更新托盘显示时间_Timer();
    void Timer_自动报时_Timer();
    void Timer_自动升级_Timer();
    void Timer_自动校时_Timer();
    void TrayIcon_托盘图标_Activated(QSystemTrayIcon::ActivationReason reason);
    void OnMenuCommand(MenuCommand command);
    void ArmAnnounceTimer();
    void Render(const ShellState& state);
    void SetTooltip();
    void ShowSettings();
    void ShowAbout();

    bool IsSettingsOpen() override;
    void CloseSettings() override;
    bool IsAboutOpen() override;
    void CloseAbout() override;
    void UnloadMain() override;
    void SetAdvertOpenPageOnClose(bool open) override;
    bool IsAdvertOpen() override;
    void CloseAdvert() override;
    void LoadAdvert() override;

    MainWindowCore m_core;
    MessagePump& m_pump;
    std::unique_ptr<Form_广告> m_advert;
    QTimer m_timer更新托盘显示时间;
    QTimer m_timer自动报时;
    QTimer m_timer自动升级;
    QTimer m_timer自动校时;
    QSystemTrayIcon m_trayIcon;
    QMenu m_menu;
    std::vector<std::pair<MenuCommand, QAction*>> m_actions;
    QPointer<Form_一般设置> m_settings;
    QPointer<frmAbout> m_about;
};

}  // namespace tolvane
