#include "app/MainWindowCore.h"

#include <utility>

#include "app/StartAtBoot.h"
#include "timesync/TimeServer.h"

namespace tolvane {

MainWindowCore::MainWindowCore(const ShellServices& services, ProgramFolder folder)
    : m_services(services),
      m_folder(std::move(folder)),
      m_vars(services.profiles),
      m_announcer(services.player, services.pump, services.locale, m_vars.Settings,
                  m_folder.Join(std::string("Sound") + m_folder.separator)),
      m_timeSync(services.timeSocket, services.clockSetter) {}

std::unique_ptr<SettingsDialog> MainWindowCore::NewSettingsDialog() {
    SettingsDialogHost& host = *this;
    return std::make_unique<SettingsDialog>(m_vars, host);
}

void MainWindowCore::SetStartAtBootMark(bool checked) {
    m_state.startAtBootChecked = checked;
}

void MainWindowCore::SetAnnounceOffMark(bool checked) {
    m_state.announceOffChecked = checked;
}

void MainWindowCore::SetAnnounceTimerEnabled(bool enabled) {
    m_state.announceTimerEnabled = enabled;
}

void MainWindowCore::SetSyncTimerEnabled(bool enabled) {
    m_state.syncTimerEnabled = enabled;
}

const ShellState& MainWindowCore::Load() {
    m_vars.ConfigFile.SpecifyIni(m_folder.Join(kSettingsFileName));
    LoadSettings(m_vars, [this] {
        return m_services.autostart != nullptr &&
               IsStartAtBootRegistered(*m_services.autostart, StartAtBootCommand(m_folder));
    });
    m_timeSync.SetServer(TimeServerFromSetting(
        m_vars.ConfigFile.ReadString(kSettingsSection, kTimeServerKey, kTimeServerReadSize)));
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
            // The mark and the setting follow the click whatever the store answered; the next
            // start reads the real state. Value.ini has no key for it.
            if (m_state.startAtBootChecked) {
                UnregisterStartAtBoot();
            } else {
                RegisterStartAtBoot();
            }
            m_state.startAtBootChecked = !m_state.startAtBootChecked;
            m_vars.Settings.StartAtBoot = m_state.startAtBootChecked ? 1 : 0;
            break;
        case MenuCommand::NetworkSync:
            m_timeSync.RequestTimeSync(true);
            break;
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

void MainWindowCore::SyncTick() {
    m_timeSync.Tick();
}

void MainWindowCore::RegisterStartAtBoot() {
    if (m_services.autostart != nullptr) {
        tolvane::RegisterStartAtBoot(*m_services.autostart, StartAtBootCommand(m_folder));
    }
}

void MainWindowCore::UnregisterStartAtBoot() {
    if (m_services.autostart != nullptr) tolvane::UnregisterStartAtBoot(*m_services.autostart);
}

void MainWindowCore::Exit(ShellWindows& windows) {
    if (windows.IsSettingsOpen()) windows.CloseSettings();
    windows.SetAdvertOpenPageOnClose(false);
    if (windows.IsAdvertOpen()) windows.CloseAdvert();
    if (windows.IsAboutOpen()) windows.CloseAbout();
    // An exit chosen between two clips ends the announcement too.
    m_announcer.StopForExit();
    // A reply that arrives while the program ends sets nothing.
    m_timeSync.Stop();
    windows.UnloadMain();
}

}  // namespace tolvane
