#pragma once

#include <functional>
#include <string>

#include "app/ProgramFolder.h"
#include "app/Startup.h"
#include "settings/CustomVariables.h"
#include "settings/ProfileStore.h"
#include "voice/Announcer.h"
#include "voice/ClipPlayer.h"
#include "voice/Clock.h"
#include "voice/Locale.h"
#include "voice/MessagePump.h"
#include "voice/Schedule.h"

namespace tolvane {

struct ShellServices {
    ProfileStore& profiles;
    Clock& clock;
    ClipPlayer& player;
    MessagePump& pump;
    Locale& locale;
    // Whether the logon entry holds this program's command; unset reads as not registered.
    std::function<bool()> isStartAtBootRegistered;
};

// Everything the hidden main window decides, for both platforms. The window procedure or Qt
// object forwards its events here and renders the returned state.
class MainWindowCore {
public:
    MainWindowCore(const ShellServices& services, ProgramFolder folder);

    // Binds and loads the settings and decides marks and timers; the platform then makes the
    // program folder current and hides its window.
    const ShellState& Load();
    const ShellState& State() const { return m_state; }

    int AnnounceTickDelay();
    void AnnounceTick();

    const 自定义变量& Vars() const { return m_vars; }
    const ProgramFolder& Folder() const { return m_folder; }
    Announcer& Voice() { return m_announcer; }

private:
    ShellServices m_services;
    ProgramFolder m_folder;
    自定义变量 m_vars;
    Announcer m_announcer;
    AnnouncementSchedule m_schedule;
    ShellState m_state;
};

}  // namespace tolvane
