#include "app/MainWindowCore.h"

#include <utility>

#include "autostart/StartAtBoot.h"
#include "timesync/SyncFeedback.h"
#include "timesync/TimeServer.h"
#include "voice/ChineseNumerals.h"

namespace tolvane {
namespace {

constexpr int kOneSecondMs = 1000;
constexpr int kAutoUpgradeDelayMs = 2000;
constexpr int kPreviewDelayMs = 0;
constexpr std::size_t kNameShown = 40;

// A name as a notice shows it: cut short, and only whole characters of it.
std::string ShortName(const std::string& name) {
    std::string shown;
    std::size_t characters = 0;
    for (const std::string& character : Utf8Characters(name)) {
        if (++characters > kNameShown) return shown + "…";
        shown += character;
    }
    return shown;
}

// The desktop is asked this long before a due moment, so that its answers are in when the
// moment's sound starts; a moment held back asks again this often; answers older than that
// are asked again before a moment is decided.
constexpr int kAskAheadSeconds = 3;
constexpr int kAskAgainSeconds = 5;
// The middle click's format: the date, then the time.
constexpr std::int32_t kDateThenTime = 2;

}  // namespace

MainWindowCore::MainWindowCore(const ShellServices& services, ProgramPlaces places,
                               ShellWindows& windows)
    : m_services(services),
      m_places(std::move(places)),
      m_windows(windows),
      m_vars(services.profiles),
      m_announcer(services.sound, services.soundThread, services.locale, SoundFolder(),
                  services.soundFolders, m_places.ownVoices),
      m_timeSync(services.timeSocket, services.clockSetter),
      m_advert(services.pump) {
    // The sound plays on from the event loop; its end is where a moment due meanwhile speaks.
    m_announcer.SetEndedHandler(
        [this](const std::vector<std::string>& unplayable) { OnAnnouncementEnded(unplayable); });
    m_timeSync.SetDoneHandler(
        [this](const SyncOutcome& outcome, bool byHand) { OnSyncDone(outcome, byHand); });
}

void MainWindowCore::Form_Load() {
    m_vars.ConfigFile.SpecifyIni(m_places.settings.Join(kSettingsFileName));
    LoadSettings(m_vars, [this] {
        return m_services.autostart != nullptr &&
               IsStartAtBootRegistered(*m_services.autostart,
                                       StartAtBootCommand(m_places.launcher));
    });
    m_timeSync.SetServer(TimeServerFromSetting(
        m_vars.ConfigFile.ReadString(kSettingsSection, kTimeServerKey, kTimeServerReadSize)));
    m_state = PlanStartup(m_vars.Settings);
    const std::optional<std::int64_t> pause =
        ParsePauseKey(m_vars.ConfigFile.ReadString(kSettingsSection, kPauseKey, kPauseReadSize),
                      m_services.clock);
    if (pause && *pause > UtcSeconds(m_services.clock.Now())) {
        m_pausedUntil = pause;
        m_pauseLine = PausedLine(m_services.clock.LocalAt(*pause));
        m_windows.EnableResume(true);
    }

    m_windows.SetTimer(MainTimer::Timer_更新托盘显示时间, kOneSecondMs);
    m_windows.SetTimer(MainTimer::Timer_自动升级, kAutoUpgradeDelayMs);
    if (m_state.announceTimerEnabled) ArmAnnounceTimer(m_services.clock.Now());
    if (m_state.syncTimerEnabled) m_windows.SetTimer(MainTimer::Timer_自动校时, kOneSecondMs);
    ShowMarks();
    Timer_更新托盘显示时间_Timer();
    if (m_places.program.IsKnown()) m_windows.SetCurrentFolder(m_places.program.path);
    m_windows.HideMain();
    m_windows.SetTrayIconMuted(!m_state.announceTimerEnabled || m_pausedUntil);
    // Shown even without a notification area: the icon docks once one appears.
    m_windows.ShowTrayIcon();
    LoadHotkey();
    TellIncompletePack();
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
    const LocalDateTime now = m_services.clock.Now();
    if (m_pausedUntil && !Paused(now)) {
        // The pause is over; its key stays, naming a time already past.
        m_pausedUntil.reset();
        ShowPause();
        return;
    }
    std::string lines =
        m_lastSync + (m_timeSync.LacksRight() ? "\r\n" + std::string(kNoRightLine) : "");
    for (const std::string* line : {&m_busyLine, &m_pauseLine}) {
        if (!line->empty()) lines += (lines.empty() ? "" : "\r\n") + *line;
    }
    m_windows.SetTrayTooltip(
        TrayTooltipText(now, m_services.formatter, !m_state.announceTimerEnabled, lines));
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
    AskDesktopAhead(now);
    // A moment still waiting when the next falls due gives way to it.
    if (moment) m_pending = Pending{*moment, {}};
    SettlePending();
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
    if (!m_announcer.AnnouncementBusy()) m_previewing = true;
    AnnounceNow(m_services.clock.Now(), m_preview);
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

void MainWindowCore::AnnounceNow(const LocalDateTime& moment, AnnouncementStyle style) {
    m_announcer.AnnounceNow(moment, std::move(style));
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
    SettlePending();
}

void MainWindowCore::SettlePending() {
    // Each moment spoken here may have another fall inside it; the schedule hands out each
    // moment once, so this ends.
    while (m_pending && !m_announcer.AnnouncementBusy()) {
        if (m_exited || !m_state.announceTimerEnabled) {
            m_pending.reset();
            return;
        }
        const LocalDateTime now = m_services.clock.Now();
        // A moment the look ahead missed (the clock stepped onto it) waits a tick for answers.
        if (m_vars.Settings.BusyQuiet == 1 && !Paused(now) && !AskedWithin(now, kAskAgainSeconds)) {
            AskDesktop(now);
            return;
        }
        const BusyVerdict verdict = DecideAnnouncement(Inputs(), m_pending->moment, now);
        if (verdict.verdict == Verdict::Wait) {
            m_pending->heldBy = verdict.why;
            m_busyLine = HeldLine(m_pending->moment, *verdict.why);
            return;
        }
        const Pending pending = *m_pending;
        m_pending.reset();
        m_busyLine = verdict.verdict == Verdict::Skip && verdict.why
                         ? SkippedLine(pending.moment, *verdict.why)
                         : std::string();
        if (verdict.verdict == Verdict::Skip) continue;
        if (pending.heldBy) {
            m_announcer.AnnounceNow(now, Style());
        } else if (UtcSeconds(now) - UtcSeconds(pending.moment) < kLateLimitSeconds) {
            m_announcer.AnnounceNow(pending.moment, Style(), TimeUntil(pending.moment));
        }
    }
}

void MainWindowCore::AskDesktopAhead(const LocalDateTime& now) {
    if (m_vars.Settings.BusyQuiet != 1 || Paused(now)) return;
    if (m_pending && m_pending->heldBy) {
        if (!AskedWithin(now, kAskAgainSeconds - 1)) AskDesktop(now);
        return;
    }
    // Moments start minutes, so only a minute's last seconds look ahead to the next.
    if (now.second < 60 - kAskAheadSeconds) return;
    const std::int64_t second = UtcSeconds(now);
    const LocalDateTime ahead = m_services.clock.LocalAt(second + kAskAheadSeconds);
    const std::int64_t minuteStart = UtcSeconds(ahead) - ahead.second;
    if (minuteStart > second && minuteStart != m_askedFor &&
        IsAnnouncementDue(ahead.hour, ahead.minute, 0, Plan())) {
        m_askedFor = minuteStart;
        AskDesktop(now);
    }
}

void MainWindowCore::AskDesktop(const LocalDateTime& now) {
    m_askedAt = UtcSeconds(now);
    for (DesktopSignalSource* source : m_services.desktopSignals) {
        if (source != nullptr) source->Refresh();
    }
}

bool MainWindowCore::AskedWithin(const LocalDateTime& now, int seconds) const {
    return m_askedAt && UtcSeconds(now) - *m_askedAt <= seconds && UtcSeconds(now) >= *m_askedAt;
}

BusyInputs MainWindowCore::Inputs() const {
    const SettingsRecord& settings = m_vars.Settings;
    BusyInputs inputs{
        {}, settings.BusyQuiet == 1, m_pausedUntil, settings.QuietStart, settings.QuietEnd};
    for (std::size_t i = 0; i < kDesktopSignals; ++i) {
        const DesktopSignalSource* source = m_services.desktopSignals[i];
        inputs.states[i] = source != nullptr ? source->State() : SignalState::Unknown;
    }
    return inputs;
}

bool MainWindowCore::Paused(const LocalDateTime& now) const {
    return m_pausedUntil && UtcSeconds(now) < *m_pausedUntil;
}

void MainWindowCore::SetPause(std::optional<PauseChoice> choice) {
    const SettingsRecord& settings = m_vars.Settings;
    m_pausedUntil.reset();
    if (choice) {
        m_pausedUntil =
            PauseEnd(*choice, m_services.clock.Now(),
                     PauseMorningMinute(settings.QuietStart, settings.QuietEnd), m_services.clock);
    }
    // Stored at once, so that the pause outlives a restart; an empty key is no pause.
    m_vars.ConfigFile.WriteString(
        kSettingsSection, kPauseKey,
        m_pausedUntil ? PauseKeyText(m_services.clock.LocalAt(*m_pausedUntil)) : "");
    ShowPause();
}

void MainWindowCore::ShowPause() {
    m_pauseLine = m_pausedUntil ? PausedLine(m_services.clock.LocalAt(*m_pausedUntil)) : "";
    m_windows.EnableResume(m_pausedUntil.has_value());
    m_windows.SetTrayIconMuted(!m_state.announceTimerEnabled || m_pausedUntil);
    Timer_更新托盘显示时间_Timer();
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
            AnnounceNow(m_services.clock.Now(), Style());
            break;
        case TrayButtonAction::AnnounceDate: {
            AnnouncementStyle style = Style();
            style.format = kDateThenTime;
            AnnounceNow(m_services.clock.Now(), std::move(style));
            break;
        }
        case TrayButtonAction::ShowMenu:
            m_windows.PopupTrayMenu();
            break;
        case TrayButtonAction::None:
            break;
    }
}

void MainWindowCore::OnHotkey() {
    if (m_exited) return;
    // Some systems repeat the hotkey's event while it is held, whatever it was registered with,
    // and repeats queued behind a busy moment are handled after the key's release: asked then,
    // the key is up, and a stale repeat would pass for a new press. So every event counts as a
    // repeat until a look at the key, once the queue has drained (the tooltip's tick, the end
    // of an announcement), has seen it released.
    if (m_hotkeyHeld) return;
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
        case MenuCommand::PauseHour:
            SetPause(PauseChoice::OneHour);
            break;
        case MenuCommand::PauseMorning:
            SetPause(PauseChoice::UntilMorning);
            break;
        case MenuCommand::Resume:
            SetPause(std::nullopt);
            break;
        case MenuCommand::None:
            break;
    }
}

void MainWindowCore::OnStartedAgain() {
    OnMenuCommand(MenuCommand::Settings);
}

void MainWindowCore::RunTrayCommand(SettingsRole command) {
    switch (command) {
        case SettingsRole::TimeSync:
            OnMenuCommand(MenuCommand::NetworkSync);
            break;
        case SettingsRole::About:
            OnMenuCommand(MenuCommand::About);
            break;
        case SettingsRole::Exit:
            OnMenuCommand(MenuCommand::Exit);
            break;
        default:
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
        tolvane::RegisterStartAtBoot(*m_services.autostart, StartAtBootCommand(m_places.launcher));
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
    m_windows.SetTrayIconMuted(!enabled || m_pausedUntil);
    Timer_更新托盘显示时间_Timer();
}

void MainWindowCore::PreviewAnnouncement(std::int32_t phrasing, std::int32_t volume,
                                         const std::string& pack) {
    // Spoken from the main window's own timer rather than inside the page's click: the page,
    // and the dialog under it, may close while the clips play.
    m_preview = AnnouncementStyle{0, phrasing, volume, pack};
    m_windows.SetTimer(MainTimer::Timer_试听, kPreviewDelayMs);
}

std::vector<VoiceChoice> MainWindowCore::VoicePacks() {
    std::vector<VoiceChoice> choices;
    for (const VoiceFolder& folder :
         FindVoices(m_services.soundFolders, {SoundFolder(), m_places.ownVoices},
                    m_vars.Settings.VoicePack)) {
        choices.push_back({folder.name, ClipListText(folder.missing)});
    }
    return choices;
}

void MainWindowCore::TellIncompletePack() {
    const std::string& name = m_vars.Settings.VoicePack;
    const std::optional<std::vector<std::string>> missing =
        MissingClips(m_services.soundFolders, {SoundFolder(), m_places.ownVoices}, name);
    if (!missing) return;
    // The default voice speaks meanwhile; the user is told why, once.
    const bool none = missing->size() == PackClips().size();
    m_windows.ShowTrayNotice(
        {"报时声音",
         (none ? "找不到语音包“" + ShortName(name) + "”"
               : "语音包“" + ShortName(name) + "”缺少 " + ClipListText(*missing)) +
             "，现用默认声音报时",
         NoticeKind::Warning});
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
