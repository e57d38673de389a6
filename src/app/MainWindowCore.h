#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "app/BusyRule.h"
#include "app/Hotkey.h"
#include "app/ShellWindows.h"
#include "app/Startup.h"
#include "app/TrayMenu.h"
#include "autostart/AutostartStore.h"
#include "base/Clock.h"
#include "base/DateTimeFormatter.h"
#include "base/DesktopSignals.h"
#include "base/MessagePump.h"
#include "base/ProgramFolder.h"
#include "base/ProgramPlaces.h"
#include "promo/AdvertWindowCore.h"
#include "promo/DeferredTasks.h"
#include "settings/CustomVariables.h"
#include "settings/ProfileStore.h"
#include "settings/SettingsDialog.h"
#include "timesync/ClockSetter.h"
#include "timesync/TimeSocket.h"
#include "timesync/TimeSyncClient.h"
#include "voice/Announcer.h"
#include "voice/Locale.h"
#include "voice/Schedule.h"
#include "voice/SoundStream.h"

namespace tolvane {

struct ShellServices {
    ProfileStore& profiles;
    Clock& clock;
    SoundStream& sound;
    // Where announcements are fed to `sound` from.
    SoundThread& soundThread;
    MessagePump& pump;
    Locale& locale;
    DateTimeFormatter& formatter;
    // The update library beside the program; none skips the update call.
    UpdateLibrary* update = nullptr;
    // Missing services leave their feature inert.
    TimeSocket* timeSocket = nullptr;
    ClockSetter* clockSetter = nullptr;
    AutostartStore* autostart = nullptr;
    // Without it only the word clips in Sound itself are played, and no pack is offered.
    SoundFolders* soundFolders = nullptr;
    // What the desktop says about the user, by DesktopSignal; a missing one is never busy.
    std::array<DesktopSignalSource*, kDesktopSignals> desktopSignals{};
};

// Everything the hidden main window decides, for both platforms: the start-up order, the
// timers, the tray's buttons and menu, which dialog opens when, and the exit. The platform's
// window forwards its events here and does what it is told through ShellWindows.
class MainWindowCore : private SettingsDialogHost, private AdvertLoader {
public:
    MainWindowCore(const ShellServices& services, ProgramPlaces places, ShellWindows& windows);
    // A portable program in `folder`.
    MainWindowCore(const ShellServices& services, ProgramFolder folder, ShellWindows& windows)
        : MainWindowCore(services, LocatePlaces(folder, std::nullopt, {}), windows) {}

    // Start-up, in order: the settings, the timers, the marks, the tooltip, the program folder
    // made current, the main window hidden, the tray icon shown.
    void Form_Load();
    void OnTimer(MainTimer timer);
    // A mouse button on the tray icon: 1 (left) speaks at once, 2 (right) opens the menu, 4
    // (middle) speaks the date and the time.
    void OnTrayButton(int buttonCode);
    void OnMenuCommand(MenuCommand command);
    // The program was started again while it runs: the settings dialog opens, or comes
    // forward, with the keyboard in it. The way in where no tray can be reached.
    void OnStartedAgain();
    // The global hotkey: exactly what a left click on the tray icon does. Held down, it
    // speaks once: the keyboard's repeats are ignored until the key is seen released.
    void OnHotkey();
    // An announcement has ended: a scheduled moment that fell during it is spoken now, as
    // the moment it was due, while it is less than kLateLimitSeconds old; one the desktop held
    // back is decided again.
    void AfterAnnouncement();
    // An announcement has been heard: the clips of it that could not be played are named, each
    // once in a run, and all of them after a preview.
    void OnAnnouncementEnded(const std::vector<std::string>& unplayable);
    // A click on the tray's last notification: takes an offer it made.
    void OnNoticeClicked();
    // A hotkey typed on the settings page ("" for none): registered and stored under 报时热键;
    // one that cannot be read or registered changes nothing, the previous one staying.
    HotkeyChange ChangeHotkey(std::string_view text);
    const Hotkey& CurrentHotkey() const { return m_hotkey; }
    // Why this desktop has no global hotkey (the page's field is then disabled, with this as its
    // tooltip); empty where it has one.
    std::string HotkeyUnavailableReason() override { return m_windows.HotkeyUnavailableReason(); }

    const ShellState& State() const { return m_state; }
    bool IsSettingsOpen() const { return m_settings != nullptr && m_settings->IsOpen(); }
    bool IsAboutOpen() const { return m_aboutOpen; }
    const AdvertWindowCore& Advert() const { return m_advert; }
    const 自定义变量& Vars() const { return m_vars; }
    const ProgramFolder& Folder() const { return m_places.program; }

private:
    void Timer_更新托盘显示时间_Timer();
    void Timer_自动报时_Timer();
    void Timer_自动升级_Timer();
    void Timer_自动校时_Timer();
    void Timer_试听_Timer();
    void ArmAnnounceTimer(const LocalDateTime& now);
    void AnnounceNow(const LocalDateTime& moment, AnnouncementStyle style);
    // Speaks, waits with or drops the scheduled moment at hand, as the busy rule says.
    void SettlePending();
    // Asks the desktop shortly before a due moment, and every few seconds while one waits.
    void AskDesktopAhead(const LocalDateTime& now);
    void AskDesktop(const LocalDateTime& now);
    bool AskedWithin(const LocalDateTime& now, int seconds) const;
    BusyInputs Inputs() const;
    bool Paused(const LocalDateTime& now) const;
    void SetPause(std::optional<PauseChoice> choice);
    void ShowPause();
    std::chrono::microseconds TimeUntil(const LocalDateTime& moment);
    void ForgetReleasedHotkey();
    AnnouncementPlan Plan() const;
    AnnouncementStyle Style() const;
    void ToggleAnnounceOff();
    void ToggleStartAtBoot();
    void ShowSettings();
    void ShowAbout();
    void Exit();
    void ShowMarks();
    void LoadHotkey();
    void OnSyncDone(const SyncOutcome& outcome, bool byHand);

    // SettingsDialogHost
    void RegisterStartAtBoot() override;
    void UnregisterStartAtBoot() override;
    void SetStartAtBootMark(bool checked) override;
    void SetAnnounceOffMark(bool checked) override;
    void SetAnnounceTimerEnabled(bool enabled) override;
    void SetSyncTimerEnabled(bool enabled) override;
    // The stored hotkey this desktop could not register shows where the field is greyed.
    std::string HotkeyText() override {
        const bool greyed = !m_windows.HotkeyUnavailableReason().empty();
        return FormatHotkey(m_hotkey.IsNone() && greyed ? m_unregisteredHotkey : m_hotkey);
    }
    std::string StoreHotkey(std::string_view text) override {
        return std::string(HotkeyChangeMessage(ChangeHotkey(text)));
    }
    void RunTrayCommand(SettingsRole command) override;
    void PreviewAnnouncement(std::int32_t phrasing, std::int32_t volume,
                             const std::string& pack) override;
    std::vector<VoiceChoice> VoicePacks() override;
    std::string SoundFolder() const {
        return m_places.program.Join(std::string("Sound") + m_places.program.separator);
    }
    void TellIncompletePack();
    // AdvertLoader
    void LoadAdvert() override;

    ShellServices m_services;
    ProgramPlaces m_places;
    ShellWindows& m_windows;
    自定义变量 m_vars;
    Announcer m_announcer;
    AnnouncementSchedule m_schedule;
    AnnouncementStyle m_preview;
    ShellState m_state;
    TimeSyncClient m_timeSync;
    AdvertWindowCore m_advert;
    std::unique_ptr<SettingsDialog> m_settings;
    bool m_aboutOpen = false;
    bool m_exited = false;
    Hotkey m_hotkey;              // registered
    Hotkey m_unregisteredHotkey;  // stored, but this desktop registers no hotkey
    bool m_hotkeyHeld = false;    // pressed and, at the last look, not yet released
    // A scheduled moment not yet spoken: due during an announcement, or held by the desktop.
    struct Pending {
        LocalDateTime moment;
        std::optional<DesktopSignal> heldBy;  // once held, the time then current is spoken
    };
    std::optional<Pending> m_pending;
    bool m_previewing = false;                  // the announcement playing is a preview
    std::set<std::string> m_toldUnplayable;     // clips named as unplayable this run
    std::optional<std::int64_t> m_pausedUntil;  // UTC seconds
    std::string m_pauseLine;                    // the tooltip's last line while paused
    std::string m_busyLine;  // the tooltip's line on the last moment held back or skipped
    std::optional<std::int64_t> m_askedAt;  // the last look at the desktop, UTC seconds
    std::int64_t m_askedFor = 0;            // the moment the last look ahead was for
    std::string m_lastSync;                 // the tooltip's line about it; empty before the first
    bool m_offerShown = false;              // the last sync notice offers administrator rights
};

}  // namespace tolvane
