#include "app/MainWindowCore.h"

#include <utility>

namespace tolvane {

MainWindowCore::MainWindowCore(const ShellServices& services, ProgramFolder folder)
    : m_services(services),
      m_folder(std::move(folder)),
      m_vars(services.profiles),
      m_announcer(services.player, services.pump, services.locale, m_vars.Settings,
                  m_folder.Join(std::string("Sound") + m_folder.separator)) {}

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

}  // namespace tolvane
