#include "app/MainWindowCore.h"

#include <utility>

namespace tolvane {

// The settings dialog's view of this window: the logon entry and the shown state.
class MainWindowCore::SettingsHost final : public SettingsDialogHost {
public:
    explicit SettingsHost(MainWindowCore& core) : m_core(core) {}
    void RegisterStartAtBoot() override { m_core.RegisterStartAtBoot(); }
    void UnregisterStartAtBoot() override { m_core.UnregisterStartAtBoot(); }
    void SetStartAtBootMark(bool checked) override { m_core.m_state.startAtBootChecked = checked; }
    void SetAnnounceOffMark(bool checked) override { m_core.m_state.announceOffChecked = checked; }
    void SetAnnounceTimerEnabled(bool enabled) override {
        m_core.m_state.announceTimerEnabled = enabled;
    }
    void SetSyncTimerEnabled(bool enabled) override { m_core.m_state.syncTimerEnabled = enabled; }

private:
    MainWindowCore& m_core;
};

MainWindowCore::MainWindowCore(const ShellServices& services, ProgramFolder folder)
    : m_services(services),
      m_folder(std::move(folder)),
      m_vars(services.profiles),
      m_announcer(services.player, services.pump, services.locale, m_vars.Settings,
                  m_folder.Join(std::string("Sound") + m_folder.separator)),
      m_settingsHost(std::make_unique<SettingsHost>(*this)) {}

MainWindowCore::~MainWindowCore() = default;

std::unique_ptr<SettingsDialog> MainWindowCore::NewSettingsDialog() {
    return std::make_unique<SettingsDialog>(m_vars, *m_settingsHost);
}

const ShellState& MainWindowCore::Load() {
    m_vars.ConfigFile.SpecifyIni(m_folder.Join(kSettingsFileName));
    LoadSettings(m_vars, m_services.isStartAtBootRegistered);
    m_state = PlanStartup(m_vars.Settings);
    return m_state;
}

int MainWindowCore::AnnounceTickDelay() {
    return MillisecondsToNextTick(m_services.clock.Now().millisecond);
}

void MainWindowCore::AnnounceTick() {
    const LocalDateTime now = m_services.clock.Now();
    if (m_schedule.OnTick(now, m_vars.Settings.Frequency, m_vars.FrequencyHours)) {
        m_announcer.AnnounceNow(m_services.clock.Now());
    }
}

std::string MainWindowCore::TooltipText() {
    return TrayTooltipText(m_services.clock.Now(), m_services.formatter);
}

TrayButtonAction MainWindowCore::OnTrayButton(int buttonCode) {
    const TrayButtonAction action = ForTrayButton(buttonCode);
    if (action == TrayButtonAction::Announce) m_announcer.AnnounceNow(m_services.clock.Now());
    return action;
}

const ShellState& MainWindowCore::OnMenuCommand(MenuCommand command) {
    switch (command) {
        case MenuCommand::AnnounceOff: {
            // The mark, the schedule and the stored key move together, so the menu never says
            // "off" while the clock keeps speaking, and the choice survives a restart.
            const bool off = !m_state.announceOffChecked;
            m_state.announceOffChecked = off;
            m_vars.Settings.AnnounceOff = off ? 1 : 0;
            m_state.announceTimerEnabled = !off;
            m_vars.ConfigFile.WriteString(kSettingsSection, kAnnounceOffKey, off ? "1" : "0");
            break;
        }
        case MenuCommand::StartAtBoot:
        case MenuCommand::NetworkSync:
        case MenuCommand::Settings:
        case MenuCommand::About:
        case MenuCommand::Exit:
        case MenuCommand::None:
            break;
    }
    return m_state;
}

void MainWindowCore::AutoUpgradeTick(std::uint32_t mainWindow, AdvertLoader& advert) {
    RunDeferredTasks({m_services.update, advert, m_services.clock}, mainWindow, m_vars);
}

void MainWindowCore::RegisterStartAtBoot() {}

void MainWindowCore::UnregisterStartAtBoot() {}

void MainWindowCore::Exit(ShellWindows& windows) {
    if (windows.IsSettingsOpen()) windows.CloseSettings();
    windows.SetAdvertOpenPageOnClose(false);
    if (windows.IsAdvertOpen()) windows.CloseAdvert();
    if (windows.IsAboutOpen()) windows.CloseAbout();
    // An exit chosen between two clips ends the announcement too.
    m_announcer.StopForExit();
    windows.UnloadMain();
}

}  // namespace tolvane
