#include "qt/FormMain.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QIcon>

#include <utility>

#include "qt/QtText.h"

namespace tolvane {
namespace {

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icon/%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace

Form_Main::Form_Main(const ShellServices& services, ProgramFolder folder)
    : m_core(services, std::move(folder)), m_pump(services.pump) {
    setObjectName(FromUtf8(kMainWindowTitle));
    m_timer更新托盘显示时间.setInterval(1000);
    m_timer自动升级.setInterval(2000);
    m_timer自动升级.setSingleShot(true);
    m_timer自动校时.setInterval(1000);
    // Re-armed on every tick so that each one falls just after a second boundary.
    m_timer自动报时.setSingleShot(true);
    m_timer自动报时.setTimerType(Qt::PreciseTimer);

    connect(&m_timer更新托盘显示时间, &QTimer::timeout, this,
            &Form_Main::Timer_更新托盘显示时间_Timer);
    connect(&m_timer自动报时, &QTimer::timeout, this, &Form_Main::Timer_自动报时_Timer);
    connect(&m_timer自动升级, &QTimer::timeout, this, &Form_Main::Timer_自动升级_Timer);
    connect(&m_timer自动校时, &QTimer::timeout, this, &Form_Main::Timer_自动校时_Timer);

    m_menu.setTitle(QStringLiteral("托盘图标"));
    for (const MenuEntry& entry : kTrayMenu) {
        if (entry.kind == MenuKind::Separator) {
            m_menu.addSeparator();
            continue;
        }
        QAction* action = m_menu.addAction(FromUtf8(entry.caption));
        action->setObjectName(FromUtf8(entry.name));
        action->setCheckable(entry.kind == MenuKind::Check);
        const MenuCommand command = entry.command;
        connect(action, &QAction::triggered, this, [this, command] { OnMenuCommand(command); });
        m_actions.emplace_back(command, action);
    }

    m_trayIcon.setIcon(ProgramIcon());
    m_trayIcon.setToolTip(QStringLiteral("Tolvane"));
    // Hosts that open the menu themselves (StatusNotifierItem) use this one; XEmbed hosts get
    // it from the activation below.
    m_trayIcon.setContextMenu(&m_menu);
    connect(&m_trayIcon, &QSystemTrayIcon::activated, this,
            &Form_Main::TrayIcon_托盘图标_Activated);
}

void Form_Main::Form_Load() {
    const ShellState& state = m_core.Load();
    m_timer更新托盘显示时间.start();
    m_timer自动升级.start();
    Render(state);
    SetTooltip();
    if (m_core.Folder().IsKnown()) QDir::setCurrent(QString::fromStdString(m_core.Folder().path));
    // Shown even without a notification area: the icon docks once one appears.
    m_trayIcon.show();
}

void Form_Main::Render(const ShellState& state) {
    for (const auto& [command, action] : m_actions) {
        if (command == MenuCommand::AnnounceOff) action->setChecked(state.announceOffChecked);
        if (command == MenuCommand::StartAtBoot) action->setChecked(state.startAtBootChecked);
    }
    if (!state.announceTimerEnabled) {
        m_timer自动报时.stop();
    } else if (!m_timer自动报时.isActive()) {
        ArmAnnounceTimer();
    }
    if (!state.syncTimerEnabled) {
        m_timer自动校时.stop();
    } else if (!m_timer自动校时.isActive()) {
        m_timer自动校时.start();
    }
}

void Form_Main::SetTooltip() {
    m_trayIcon.setToolTip(
        QString::fromStdString(m_core.TooltipText()).replace(QStringLiteral("\r\n"), "\n"));
}

void Form_Main::ArmAnnounceTimer() {
    m_timer自动报时.start(m_core.AnnounceTickDelay());
}

void Form_Main::Timer_更新托盘显示时间_Timer() {
    SetTooltip();
}

void Form_Main::Timer_自动报时_Timer() {
    // Armed again before speaking, so ticks keep coming between the clips.
    ArmAnnounceTimer();
    m_core.AnnounceTick();
}

void Form_Main::Timer_自动升级_Timer() {
    // There is no native main window here to hand to the update library.
    m_core.AutoUpgradeTick(0, *this);
}

void Form_Main::LoadAdvert() {
    if (m_advert == nullptr) m_advert = std::make_unique<Form_广告>(m_pump);
    m_advert->Load();
}

void Form_Main::SetAdvertOpenPageOnClose(bool open) {
    if (m_advert != nullptr) m_advert->Core().SetOpenPageOnClose(open);
}

bool Form_Main::IsAdvertOpen() {
    return m_advert != nullptr && m_advert->IsOpen();
}

void Form_Main::CloseAdvert() {
    if (m_advert != nullptr) m_advert->close();
}

void Form_Main::Timer_自动校时_Timer() {
    m_core.SyncTick();
}

void Form_Main::TrayIcon_托盘图标_Activated(QSystemTrayIcon::ActivationReason reason) {
    int buttonCode = 0;
    if (reason == QSystemTrayIcon::Trigger) buttonCode = 1;
    if (reason == QSystemTrayIcon::Context) buttonCode = 2;
    if (m_core.OnTrayButton(buttonCode) == TrayButtonAction::ShowMenu && !m_menu.isVisible()) {
        m_menu.popup(QCursor::pos());
    }
}

void Form_Main::OnMenuCommand(MenuCommand command) {
    if (command == MenuCommand::Exit) {
        m_core.Exit(*this);
        return;
    }
    if (command == MenuCommand::Settings) {
        ShowSettings();
        return;
    }
    if (command == MenuCommand::About) {
        ShowAbout();
        return;
    }
    Render(m_core.OnMenuCommand(command));
}

void Form_Main::ShowSettings() {
    if (m_settings) {
        m_settings->BringForward();
        return;
    }
    m_settings = new Form_一般设置(m_core.NewSettingsDialog(), [this] { Render(m_core.State()); });
    // While the About box is up, the other windows wait for it.
    m_settings->setEnabled(!m_about);
    m_settings->Form_Load();
}

void Form_Main::ShowAbout() {
    if (m_about) {
        m_about->BringForward();
        return;
    }
    frmAbout about(m_trayIcon.icon());
    m_about = &about;
    if (m_settings) m_settings->setEnabled(false);
    about.ShowModal();
    if (m_settings) m_settings->setEnabled(true);
}

bool Form_Main::IsSettingsOpen() {
    return !m_settings.isNull();
}

void Form_Main::CloseSettings() {
    if (m_settings) m_settings->Unload();
}

bool Form_Main::IsAboutOpen() {
    return !m_about.isNull() && m_about->isVisible();
}

void Form_Main::CloseAbout() {
    if (m_about) m_about->Unload();
}

void Form_Main::UnloadMain() {
    m_trayIcon.hide();
    for (QTimer* timer :
         {&m_timer更新托盘显示时间, &m_timer自动报时, &m_timer自动升级, &m_timer自动校时}) {
        timer->stop();
    }
    QCoreApplication::exit(0);
}

}  // namespace tolvane
