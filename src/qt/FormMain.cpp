#include "qt/FormMain.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QIcon>

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

constexpr int kNoticeMs = 8000;

}  // namespace

Form_Main::Form_Main(const ShellServices& services, ProgramFolder folder)
    : m_core(services, std::move(folder), *this), m_icons{ProgramIcon(false), ProgramIcon(true)} {
    setObjectName(FromUtf8(kMainWindowTitle));
    for (MainTimer timer : kMainTimers) {
        QTimer& qtimer = m_timers[static_cast<std::size_t>(timer)];
        // The announcement timer is aimed just past each second boundary.
        qtimer.setTimerType(Qt::PreciseTimer);
        connect(&qtimer, &QTimer::timeout, this, [this, timer] { m_core.OnTimer(timer); });
    }

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
        connect(action, &QAction::triggered, this,
                [this, command] { m_core.OnMenuCommand(command); });
        m_actions.emplace_back(command, action);
    }

    m_trayIcon.setToolTip(QStringLiteral("Tolvane"));
    // Hosts that open the menu themselves (StatusNotifierItem) use this one; XEmbed hosts get
    // it from the activation below.
    m_trayIcon.setContextMenu(&m_menu);
    connect(&m_trayIcon, &QSystemTrayIcon::activated, this,
            &Form_Main::TrayIcon_托盘图标_Activated);
}

void Form_Main::Form_Load() {
    m_core.Form_Load();
}

void Form_Main::TrayIcon_托盘图标_Activated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger) m_core.OnTrayButton(1);
    if (reason == QSystemTrayIcon::Context) m_core.OnTrayButton(2);
}

void Form_Main::SetTimer(MainTimer timer, int intervalMs) {
    m_timers[static_cast<std::size_t>(timer)].start(intervalMs);
}

void Form_Main::KillTimer(MainTimer timer) {
    m_timers[static_cast<std::size_t>(timer)].stop();
}

void Form_Main::ShowTrayIcon() {
    m_trayIcon.show();
}

void Form_Main::SetTrayTooltip(const std::string& text) {
    m_trayIcon.setToolTip(FromUtf8(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void Form_Main::SetMenuChecks(bool announceOff, bool startAtBoot) {
    for (const auto& [command, action] : m_actions) {
        if (command == MenuCommand::AnnounceOff) action->setChecked(announceOff);
        if (command == MenuCommand::StartAtBoot) action->setChecked(startAtBoot);
    }
}

void Form_Main::PopupTrayMenu() {
    if (!m_menu.isVisible()) m_menu.popup(QCursor::pos());
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
    if (m_settings) m_settings->setEnabled(enabled);
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
    m_trayIcon.setIcon(m_icons[muted ? 1 : 0]);
}

void Form_Main::ShowTrayNotice(const TrayNotice& notice) {
    m_trayIcon.showMessage(
        FromUtf8(notice.title), FromUtf8(notice.text),
        notice.kind == NoticeKind::Info ? QSystemTrayIcon::Information : QSystemTrayIcon::Warning,
        kNoticeMs);
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
    m_trayIcon.hide();
    for (MainTimer timer : kMainTimers) KillTimer(timer);
    QCoreApplication::exit(0);
}

}  // namespace tolvane
