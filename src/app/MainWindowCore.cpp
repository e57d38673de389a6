#include "app/MainWindowCore.h"

#include <utility>

#include "autostart/StartAtBoot.h"
#include "timesync/SyncFeedback.h"
#include "timesync/TimeServer.h"

namespace tolvane {
namespace {

constexpr int kOneSecondMs = 1000;
constexpr int kAutoUpgradeDelayMs = 2000;
constexpr int kPreviewDelayMs = 0;

}  // namespace

MainWindowCore::MainWindowCore(const ShellServices& services, ProgramFolder folder,
                               ShellWindows& windows)
    : m_services(services),
      m_folder(std::move(folder)),
      m_windows(windows),
      m_vars(services.profiles),
      m_announcer(services.sound, services.soundThread, services.locale, SoundFolder(),
                  services.soundFolders),
      m_timeSync(services.timeSocket, services.clockSetter),
      m_advert(services.pump) {
    // The sound plays on from the event loop; its end is where a moment due meanwhile speaks.
    m_announcer.SetEndedHandler(
        [this](const std::vector<std::string>& unplayable) { OnAnnouncementEnded(unplayable); });
    m_timeSync.SetDoneHandler(
        [this](const SyncOutcome& outcome, bool byHand) { OnSyncDone(outcome, byHand); });
}

void MainWindowCore::Form_Load() {
    m_vars.ConfigFile.SpecifyIni(m_folder.Join(kSettingsFileName));
    LoadSettings(m_vars, [this] {
        return m_services.autostart != nullptr &&
               IsStartAtBootRegistered(*m_services.autostart, StartAtBootCommand(m_folder));
    });
    m_timeSync.SetServer(TimeServerFromSetting(
        m_vars.ConfigFile.ReadString(kSettingsSection, kTimeServerKey, kTimeServerReadSize)));
    m_state = PlanStartup(m_vars.Settings);

    m_windows.SetTimer(MainTimer::Timer_更新托盘显示时间, kOneSecondMs);
    m_windows.SetTimer(MainTimer::Timer_自动升级, kAutoUpgradeDelayMs);
    if (m_state.announceTimerEnabled) ArmAnnounceTimer(m_services.clock.Now());
    if (m_state.syncTimerEnabled) m_windows.SetTimer(MainTimer::Timer_自动校时, kOneSecondMs);
    ShowMarks();
    Timer_更新托盘显示时间_Timer();
    if (m_folder.IsKnown()) m_windows.SetCurrentFolder(m_folder.path);
    m_windows.HideMain();
    m_windows.SetTrayIconMuted(!m_state.announceTimerEnabled);
    // Shown even without a notification area: the icon docks once one appears.
    m_windows.ShowTrayIcon();
    LoadHotkey();
}

void MainWindowCore::OnTimer(MainTimer timer) {
    switch (timer) {
        case MainTimer::Timer_更新托盘显示时间:
            Timer_更新托盘显示时间_Timer();
            break;
        case MainTimer::Timer_自动报时:
            Timer_自动报时_Timer();
            break;
        case MainTimer::Timer_自动升级:
            Timer_自动升级_Timer();
            break;
        case MainTimer::Timer_自动校时:
            Timer_自动校时_Timer();
            break;
        case MainTimer::Timer_试听:
            Timer_试听_Timer();
            break;
    }
}

void MainWindowCore::Timer_更新托盘显示时间_Timer() {
    ForgetReleasedHotkey();
    const std::string syncLines =
        m_lastSync + (m_timeSync.LacksRight() ? "\r\n" + std::string(kNoRightLine) : "");
    m_windows.SetTrayTooltip(TrayTooltipText(m_services.clock.Now(), m_services.formatter,
                                             !m_state.announceTimerEnabled, syncLines));
}

void MainWindowCore::Timer_自动报时_Timer() {
    // One reading of the clock a tick: at idle each is a system call.
    const LocalDateTime now = m_services.clock.Now();
    // Armed again before speaking, so that ticks keep coming while it speaks.
    ArmAnnounceTimer(now);
    // A moment the clock stepped over is spoken as it was due, not as the clock reads now.
    std::optional<LocalDateTime> moment = m_schedule.OnTick(now, Plan());
    // The tick armed shortly before a moment starts it, to be heard on the moment.
    if (!moment && now.millisecond >= 1000 - kPrimeLeadMs * 3 / 2) {
        moment = m_schedule.Upcoming(m_services.clock.LocalAt(UtcSeconds(now) + 1), Plan());
    }
    if (!moment) return;
    // Ticks come while another announcement speaks: its moment waits for the end.
    if (m_announcer.AnnouncementBusy()) {
        m_lateMoment = moment;
        return;
    }
    AnnounceNow(*moment);
}

void MainWindowCore::Timer_自动升级_Timer() {
    // Off before the tasks run: it fires once per start, whatever they do.
    m_windows.KillTimer(MainTimer::Timer_自动升级);
    // Loaded now rather than before the icon, which nothing the first announcement needs may
    // delay: an announcement before this loads it itself.
    m_announcer.Prepare();
    AdvertLoader& advert = *this;
    RunDeferredTasks({m_services.update, advert, m_services.clock}, m_windows.MainWindowHandle(),
                     m_vars);
}

void MainWindowCore::Timer_自动校时_Timer() {
    m_timeSync.Tick();
}

void MainWindowCore::Timer_试听_Timer() {
    m_windows.KillTimer(MainTimer::Timer_试听);
    if (!m_announcer.AnnouncementBusy()) {
        m_previewing = true;
        m_announcer.AnnounceNow(m_services.clock.Now(), m_preview);
    }
    AfterAnnouncement();
}

void MainWindowCore::ArmAnnounceTimer(const LocalDateTime& now) {
    // An exit chosen during an announcement leaves no timer to arm.
    if (m_exited) return;
    int delay = MillisecondsToNextTick(now.millisecond);
    const int toPrime = 1000 - kPrimeLeadMs - now.millisecond;
    if (now.second == 59 && toPrime > 0) {
        const LocalDateTime next = m_services.clock.LocalAt(UtcSeconds(now) + 1);
        if (IsAnnouncementDue(next.hour, next.minute, next.second, Plan())) delay = toPrime;
    }
    m_windows.SetTimer(MainTimer::Timer_自动报时, delay);
}

void MainWindowCore::AnnounceNow(const LocalDateTime& moment) {
    m_announcer.AnnounceNow(moment, Style(), TimeUntil(moment));
    AfterAnnouncement();
}

std::chrono::microseconds MainWindowCore::TimeUntil(const LocalDateTime& moment) {
    const auto instantMs = [](const LocalDateTime& t) {
        return UtcSeconds(t) * 1000 + t.millisecond;
    };
    const std::int64_t ms = instantMs(moment) - instantMs(m_services.clock.Now());
    // The clock reads whole milliseconds, on average half a millisecond behind.
    return std::chrono::microseconds(ms > 0 ? ms * 1000 - 500 : 0);
}

void MainWindowCore::AfterAnnouncement() {
    ForgetReleasedHotkey();
    // Each moment spoken here may have another fall inside it; the schedule hands out each
    // moment once, so this ends.
    while (m_lateMoment && !m_announcer.AnnouncementBusy()) {
        const LocalDateTime moment = *m_lateMoment;
        m_lateMoment.reset();
        if (m_exited || !m_state.announceTimerEnabled) return;
        const std::int64_t age = UtcSeconds(m_services.clock.Now()) - UtcSeconds(moment);
        if (age >= kLateLimitSeconds) continue;
        m_announcer.AnnounceNow(moment, Style(), TimeUntil(moment));
    }
}

void MainWindowCore::OnAnnouncementEnded(const std::vector<std::string>& unplayable) {
    const bool preview = std::exchange(m_previewing, false);
    const std::string sound = SoundFolder();
    std::string names;
    for (const std::string& path : unplayable) {
        if (path.empty() || (!m_toldUnplayable.insert(path).second && !preview)) continue;
        // Named from the sound folder, which the user knows: "我的声音\五.wav".
        names += (names.empty() ? "" : "、") +
                 (path.starts_with(sound) ? path.substr(sound.size()) : path);
    }
    if (!names.empty()) {
        m_windows.ShowTrayNotice(
            {"声音", "无法播放，已用提示音代替：" + names, NoticeKind::Warning});
    }
    AfterAnnouncement();
}

void MainWindowCore::ForgetReleasedHotkey() {
    if (m_hotkeyHeld && !m_windows.IsHotkeyDown()) m_hotkeyHeld = false;
}

AnnouncementPlan MainWindowCore::Plan() const {
    const SettingsRecord& settings = m_vars.Settings;
    return {settings.Frequency, m_vars.FrequencyHours, settings.HalfHour == 1, settings.QuietStart,
            settings.QuietEnd};
}

AnnouncementStyle MainWindowCore::Style() const {
    const SettingsRecord& settings = m_vars.Settings;
    return {settings.AnnounceFormat, settings.Phrasing, settings.Volume, settings.VoicePack};
}

void MainWindowCore::OnTrayButton(int buttonCode) {
    switch (ForTrayButton(buttonCode)) {
        case TrayButtonAction::Announce:
            AnnounceNow(m_services.clock.Now());
            break;
        case TrayButtonAction::ShowMenu:
            m_windows.PopupTrayMenu();
            break;
        case TrayButtonAction::None:
            break;
    }
}

void MainWindowCore::OnHotkey() {
    if (m_exited) return;
    // Some systems repeat the hotkey's event while it is held, whatever it was registered with.
    if (m_hotkeyHeld && m_windows.IsHotkeyDown()) return;
    m_hotkeyHeld = true;
    OnTrayButton(1);
}

void MainWindowCore::OnMenuCommand(MenuCommand command) {
    if (m_exited) return;
    switch (command) {
        case MenuCommand::AnnounceOff:
            ToggleAnnounceOff();
            break;
        case MenuCommand::StartAtBoot:
            ToggleStartAtBoot();
            break;
        case MenuCommand::NetworkSync:
            m_timeSync.RequestTimeSync(true);
            break;
        case MenuCommand::Settings:
            ShowSettings();
            break;
        case MenuCommand::About:
            ShowAbout();
            break;
        case MenuCommand::Exit:
            Exit();
            break;
        case MenuCommand::None:
            break;
    }
}

void MainWindowCore::ToggleAnnounceOff() {
    // The mark, the schedule and the stored key move together, so the menu never says "off"
    // while the clock keeps speaking, and the choice survives a restart.
    const bool off = !m_state.announceOffChecked;
    m_vars.Settings.AnnounceOff = off ? 1 : 0;
    m_vars.ConfigFile.WriteString(kSettingsSection, kAnnounceOffKey, off ? "1" : "0");
    SetAnnounceTimerEnabled(!off);
    SetAnnounceOffMark(off);
}

void MainWindowCore::ToggleStartAtBoot() {
    // The mark and the setting follow the click whatever the store answered; the next start
    // reads the real state. Value.ini has no key for it.
    const bool on = !m_state.startAtBootChecked;
    if (on) {
        RegisterStartAtBoot();
    } else {
        UnregisterStartAtBoot();
    }
    m_vars.Settings.StartAtBoot = on ? 1 : 0;
    SetStartAtBootMark(on);
    if (IsSettingsOpen()) {
        m_settings->StartAtBootChanged(on);
        m_windows.RefreshSettings();
    }
}

void MainWindowCore::ShowSettings() {
    if (IsSettingsOpen()) {
        m_windows.BringSettingsForward();
        return;
    }
    SettingsDialogHost& host = *this;
    auto dialog = std::make_unique<SettingsDialog>(m_vars, host);
    // While the About box is up, the other windows wait for it.
    if (!m_windows.ShowSettings(*dialog, !m_aboutOpen)) return;
    // Replaced only now: the previous showing's window may hold the old logic until the shell
    // has replaced it.
    m_settings = std::move(dialog);
}

void MainWindowCore::ShowAbout() {
    if (m_aboutOpen) {
        m_windows.BringAboutForward();
        return;
    }
    m_aboutOpen = true;
    if (IsSettingsOpen()) m_windows.EnableSettings(false);
    m_windows.RunAbout();
    m_aboutOpen = false;
    if (IsSettingsOpen()) m_windows.EnableSettings(true);
}

void MainWindowCore::Exit() {
    if (IsSettingsOpen()) {
        // As its close box would: unapplied changes are dropped.
        m_settings->CloseBox();
        m_windows.CloseSettings();
    }
    m_advert.SetOpenPageOnClose(false);
    if (m_advert.IsOpen()) m_windows.CloseAdvert();
    if (m_aboutOpen) m_windows.CloseAbout();
    // An exit chosen while it speaks silences the announcement at once.
    m_announcer.StopForExit();
    // A reply that arrives while the program ends sets nothing.
    m_timeSync.Stop();
    m_exited = true;
    m_windows.UnloadMain();
}

void MainWindowCore::ShowMarks() {
    m_windows.SetMenuChecks(m_state.announceOffChecked, m_state.startAtBootChecked);
}

void MainWindowCore::RegisterStartAtBoot() {
    if (m_services.autostart != nullptr) {
        tolvane::RegisterStartAtBoot(*m_services.autostart, StartAtBootCommand(m_folder));
    }
}

void MainWindowCore::UnregisterStartAtBoot() {
    if (m_services.autostart != nullptr) tolvane::UnregisterStartAtBoot(*m_services.autostart);
}

void MainWindowCore::SetStartAtBootMark(bool checked) {
    m_state.startAtBootChecked = checked;
    ShowMarks();
}

void MainWindowCore::SetAnnounceOffMark(bool checked) {
    m_state.announceOffChecked = checked;
    ShowMarks();
}

void MainWindowCore::SetAnnounceTimerEnabled(bool enabled) {
    if (!enabled) {
        m_windows.KillTimer(MainTimer::Timer_自动报时);
    } else if (!m_state.announceTimerEnabled) {
        m_schedule.Restart();
        ArmAnnounceTimer(m_services.clock.Now());
    }
    m_state.announceTimerEnabled = enabled;
    // The icon and the tooltip say at once whether the clock will speak on its own.
    m_windows.SetTrayIconMuted(!enabled);
    Timer_更新托盘显示时间_Timer();
}

void MainWindowCore::PreviewAnnouncement(std::int32_t phrasing, std::int32_t volume,
                                         const std::string& pack) {
    // Spoken from the main window's own timer rather than inside the page's click: the page,
    // and the dialog under it, may close while the clips play.
    m_preview = AnnouncementStyle{0, phrasing, volume, pack};
    m_windows.SetTimer(MainTimer::Timer_试听, kPreviewDelayMs);
}

std::vector<std::string> MainWindowCore::VoicePacks() {
    return FindPacks(m_services.soundFolders, SoundFolder());
}

void MainWindowCore::SetSyncTimerEnabled(bool enabled) {
    if (enabled == m_state.syncTimerEnabled) return;
    if (enabled) {
        m_windows.SetTimer(MainTimer::Timer_自动校时, kOneSecondMs);
    } else {
        m_windows.KillTimer(MainTimer::Timer_自动校时);
    }
    m_state.syncTimerEnabled = enabled;
}

void MainWindowCore::LoadHotkey() {
    const std::string text =
        m_vars.ConfigFile.ReadString(kSettingsSection, kHotkeyKey, kHotkeyReadSize);
    const std::optional<Hotkey> hotkey = ParseHotkey(text);
    if (!hotkey) {
        m_windows.ShowTrayNotice(
            {"报时热键", "Value.ini 中的报时热键“" + text + "”无法识别", NoticeKind::Warning});
        return;
    }
    if (hotkey->IsNone()) return;
    switch (m_windows.RegisterHotkey(*hotkey)) {
        case HotkeyRegistration::Registered:
            m_hotkey = *hotkey;
            break;
        case HotkeyRegistration::Taken:
            m_windows.ShowTrayNotice({"报时热键",
                                      "报时热键 " + FormatHotkey(*hotkey) + " 已被其他程序占用",
                                      NoticeKind::Warning});
            break;
        case HotkeyRegistration::Unavailable: {
            // Kept for the page to show, greyed; said once, as a key that does nothing is
            // otherwise a puzzle.
            m_unregisteredHotkey = *hotkey;
            const std::string reason = m_windows.HotkeyUnavailableReason();
            m_windows.ShowTrayNotice({"报时热键",
                                      "报时热键 " + FormatHotkey(*hotkey) + " 在此桌面无法使用" +
                                          (reason.empty() ? "" : "：" + reason),
                                      NoticeKind::Warning});
            break;
        }
    }
}

HotkeyChange MainWindowCore::ChangeHotkey(std::string_view text) {
    const std::optional<Hotkey> hotkey = ParseHotkey(text);
    if (!hotkey) return HotkeyChange::Unreadable;
    if (*hotkey != m_hotkey) {
        if (!m_hotkey.IsNone()) m_windows.UnregisterHotkey();
        if (!hotkey->IsNone()) {
            const HotkeyRegistration registration = m_windows.RegisterHotkey(*hotkey);
            if (registration != HotkeyRegistration::Registered) {
                if (!m_hotkey.IsNone()) m_windows.RegisterHotkey(m_hotkey);
                return registration == HotkeyRegistration::Taken ? HotkeyChange::Taken
                                                                 : HotkeyChange::Unavailable;
            }
        }
        m_hotkey = *hotkey;
    }
    m_vars.ConfigFile.WriteString(kSettingsSection, kHotkeyKey, FormatHotkey(*hotkey));
    return HotkeyChange::Stored;
}

void MainWindowCore::OnNoticeClicked() {
    if (!m_offerShown || m_exited) return;
    m_offerShown = false;
    m_timeSync.AcceptOffer();
}

void MainWindowCore::OnSyncDone(const SyncOutcome& outcome, bool byHand) {
    if (m_exited) return;
    // Shown from the tooltip's next refresh on, as the time is.
    m_lastSync = LastSyncLine(outcome, m_services.clock.Now());
    // The hourly synchronisation stays silent.
    if (!byHand) return;
    m_offerShown = outcome.result == SyncResult::ElevationOffered;
    m_windows.ShowTrayNotice(
        {"网络校时", SyncFeedbackText(outcome, m_timeSync.Server()),
         outcome.result == SyncResult::ClockSet || outcome.result == SyncResult::SystemKeepsTime
             ? NoticeKind::Info
             : NoticeKind::Warning});
}

void MainWindowCore::LoadAdvert() {
    AdvertView* view = m_windows.CreateAdvert(m_advert);
    if (view != nullptr) m_advert.Form_Load(*view);
}

}  // namespace tolvane
