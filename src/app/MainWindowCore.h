#pragma once

#include <memory>
#include <string>

#include "app/AutostartStore.h"
#include "app/DateTimeFormatter.h"
#include "app/ProgramFolder.h"
#include "app/ShellWindows.h"
#include "app/Startup.h"
#include "app/TrayMenu.h"
#include "promo/DeferredTasks.h"
#include "settings/CustomVariables.h"
#include "settings/ProfileStore.h"
#include "settings/SettingsDialog.h"
#include "timesync/ClockSetter.h"
#include "timesync/TimeSocket.h"
#include "timesync/TimeSyncClient.h"
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
    DateTimeFormatter& formatter;
    // The update library beside the program; none skips the update call.
    UpdateLibrary* update = nullptr;
    // Missing services leave their feature inert.
    TimeSocket* timeSocket = nullptr;
    ClockSetter* clockSetter = nullptr;
    AutostartStore* autostart = nullptr;
};

// Everything the hidden main window decides, for both platforms. The window procedure or Qt
// object forwards its events here and renders the returned state. The settings dialog acts on
// its marks and timers as its host.
class MainWindowCore : private SettingsDialogHost {
public:
    MainWindowCore(const ShellServices& services, ProgramFolder folder);

    // Binds and loads the settings and decides marks and timers; the platform then makes the
    // program folder current and hides its window.
    const ShellState& Load();
    const ShellState& State() const { return m_state; }

    int AnnounceTickDelay();
    void AnnounceTick();

    // The tray tooltip for the current moment (set at start-up and by the one-second refresh).
    std::string TooltipText();
    // A mouse button on the tray icon; speaks at once for the left button. The platform shows
    // the menu when asked to.
    TrayButtonAction OnTrayButton(int buttonCode);
    // A command of the tray menu other than exit; returns what to show afterwards.
    const ShellState& OnMenuCommand(MenuCommand command);
    // The one tick of the automatic-upgrade timer, two seconds after start-up: the update call,
    // then the advert decision. The platform switches the timer off.
    void AutoUpgradeTick(std::uint32_t mainWindow, AdvertLoader& advert);
    // One tick of the one-second sync timer (Timer_自动校时).
    void SyncTick();
    // Closes every window in order, the main one last. Writes nothing.
    void Exit(ShellWindows& windows);

    // The logon entry: written with this program's command unless it holds exactly that
    // already, or removed. Failures are silent; the caller's marks show the request.
    void RegisterStartAtBoot() override;
    void UnregisterStartAtBoot() override;

    // The logic of a new showing of the settings dialog (not loaded yet). It acts on this
    // window's marks and timers; the platform renders State() after each of its events.
    std::unique_ptr<SettingsDialog> NewSettingsDialog();

    const 自定义变量& Vars() const { return m_vars; }
    const ProgramFolder& Folder() const { return m_folder; }

private:
    void SetStartAtBootMark(bool checked) override;
    void SetAnnounceOffMark(bool checked) override;
    void SetAnnounceTimerEnabled(bool enabled) override;
    void SetSyncTimerEnabled(bool enabled) override;

    ShellServices m_services;
    ProgramFolder m_folder;
    自定义变量 m_vars;
    Announcer m_announcer;
    AnnouncementSchedule m_schedule;
    ShellState m_state;
    TimeSyncClient m_timeSync;
};

}  // namespace tolvane
