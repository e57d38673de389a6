#include "settings/AdvancedDialog.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "settings/SettingsDialog.h"

namespace tolvane {
namespace {

// What the two time fields suggest while there is no quiet span.
constexpr std::int32_t kSuggestedQuietStart = 22 * 60;
constexpr std::int32_t kSuggestedQuietEnd = 7 * 60;
constexpr std::int32_t kMinutesPerDay = 24 * 60;
constexpr int kPhrasings = 2;
constexpr int kAdvertChoices = kAdvertNever + 1;

bool IsMinuteOfDay(std::int32_t minute) {
    return minute >= 0 && minute < kMinutesPerDay;
}

// The list's tooltip names this many incomplete folders at most.
constexpr std::size_t kIncompleteNamed = 5;

std::string Lacks(const VoiceChoice& choice) {
    return "“" + choice.name + "”" + std::string(kVoiceLacks) + choice.missing;
}

std::string_view AdvertKey() {
    for (const IntSetting& setting : kIntSettings) {
        if (setting.field == &SettingsRecord::AdvertMode) return setting.key;
    }
    return {};
}

}  // namespace

AdvancedDialog::AdvancedDialog(自定义变量& vars, SettingsDialogHost& host,
                               std::function<void()> saved)
    : m_vars(vars), m_host(host), m_saved(std::move(saved)) {}

void AdvancedDialog::Form_Load() {
    const SettingsRecord& settings = m_vars.Settings;
    m_halfHour = settings.HalfHour == 1;
    m_busyQuiet = settings.BusyQuiet == 1;
    m_quiet = IsMinuteOfDay(settings.QuietStart) && IsMinuteOfDay(settings.QuietEnd) &&
              settings.QuietStart != settings.QuietEnd;
    m_texts[AdvancedRole::QuietStart] =
        ClockTimeText(m_quiet ? settings.QuietStart : kSuggestedQuietStart);
    m_texts[AdvancedRole::QuietEnd] =
        ClockTimeText(m_quiet ? settings.QuietEnd : kSuggestedQuietEnd);
    m_volume = (settings.Volume >= 0 && settings.Volume <= 100) ? settings.Volume : 100;
    m_phrasing = (settings.Phrasing >= 0 && settings.Phrasing < kPhrasings) ? settings.Phrasing : 0;
    // A hand-edited value with no button of its own selects none; saving then keeps it.
    m_advert = (settings.AdvertMode >= 0 && settings.AdvertMode < kAdvertChoices)
                   ? settings.AdvertMode
                   : -1;
    m_packs = m_host.VoicePacks();
    m_pack = settings.VoicePack;
    m_texts[AdvancedRole::Hotkey] = m_host.HotkeyText();
    m_hotkeyUnavailable = m_host.HotkeyUnavailableReason();
    m_message.clear();
    m_fault = AdvancedRole::None;
    m_applyEnabled = false;
}

void AdvancedDialog::Click(AdvancedRole role, int index) {
    if (!m_open) return;
    switch (role) {
        case AdvancedRole::HalfHour:
            m_halfHour = !m_halfHour;
            Changed();
            break;
        case AdvancedRole::Quiet:
            m_quiet = !m_quiet;
            Changed();
            break;
        case AdvancedRole::BusyQuiet:
            m_busyQuiet = !m_busyQuiet;
            Changed();
            break;
        case AdvancedRole::Phrasing:
            if (index >= 0 && index < kPhrasings) m_phrasing = index;
            Changed();
            break;
        case AdvancedRole::Advert:
            if (index >= 0 && index < kAdvertChoices) m_advert = index;
            Changed();
            break;
        case AdvancedRole::VoicePack:
            if (index < 0 || index > static_cast<int>(m_packs.size())) break;
            if (index > 0 && !m_packs[static_cast<std::size_t>(index - 1)].missing.empty()) {
                // Refused with what is missing; the list shows the voice chosen before.
                m_message = Lacks(m_packs[static_cast<std::size_t>(index - 1)]) +
                            std::string(kVoiceRefused);
                m_fault = AdvancedRole::VoicePack;
                break;
            }
            m_pack = index == 0 ? std::string() : m_packs[static_cast<std::size_t>(index - 1)].name;
            Changed();
            break;
        case AdvancedRole::Preview:
            m_host.PreviewAnnouncement(m_phrasing, m_volume, m_pack);
            break;
        case AdvancedRole::Apply:
            Save();
            break;
        case AdvancedRole::Ok:
            if (Save()) m_open = false;
            break;
        case AdvancedRole::Cancel:
            m_open = false;
            break;
        default:
            break;
    }
}

void AdvancedDialog::Edit(const ControlSpec& control, std::string text) {
    const auto field = m_texts.find(static_cast<AdvancedRole>(control.role));
    if (!m_open || field == m_texts.end() || field->second == text) return;
    field->second = std::move(text);
    Changed();
}

void AdvancedDialog::Slide(const ControlSpec& control, int value) {
    value = std::clamp(value, 0, 100);
    if (!m_open || static_cast<AdvancedRole>(control.role) != AdvancedRole::Volume ||
        value == m_volume) {
        return;
    }
    m_volume = value;
    Changed();
}

int AdvancedDialog::Selected(AdvancedRole group) const {
    if (group == AdvancedRole::Phrasing) return m_phrasing;
    if (group == AdvancedRole::Advert) return m_advert;
    if (group == AdvancedRole::VoicePack) {
        // A stored pack no longer found plays the default voice, and shows it.
        const auto found = std::find_if(m_packs.begin(), m_packs.end(), [&](const VoiceChoice& c) {
            return c.name == m_pack && c.missing.empty();
        });
        return found == m_packs.end() ? 0 : static_cast<int>(found - m_packs.begin()) + 1;
    }
    return -1;
}

bool AdvancedDialog::Checked(const ControlSpec& control) const {
    const auto role = static_cast<AdvancedRole>(control.role);
    if (control.kind == ControlKind::OptionButton) return Selected(role) == control.index;
    if (role == AdvancedRole::HalfHour) return m_halfHour;
    if (role == AdvancedRole::Quiet) return m_quiet;
    if (role == AdvancedRole::BusyQuiet) return m_busyQuiet;
    return false;
}

bool AdvancedDialog::Enabled(const ControlSpec& control) const {
    switch (static_cast<AdvancedRole>(control.role)) {
        case AdvancedRole::QuietStart:
        case AdvancedRole::QuietEnd:
            return m_quiet;
        case AdvancedRole::Hotkey:
            return m_hotkeyUnavailable.empty();
        case AdvancedRole::Apply:
            return m_applyEnabled;
        default:
            return true;
    }
}

std::string AdvancedDialog::Text(const ControlSpec& control) const {
    const auto role = static_cast<AdvancedRole>(control.role);
    if (const auto field = m_texts.find(role); field != m_texts.end()) return field->second;
    if (role == AdvancedRole::VolumeText) return std::to_string(m_volume) + "%";
    // Each fault is told beside its field: the times in their frame, the hotkey under it.
    const bool quietFault =
        m_fault == AdvancedRole::QuietStart || m_fault == AdvancedRole::QuietEnd;
    if (role == AdvancedRole::Message) return quietFault ? std::string() : m_message;
    if (role == AdvancedRole::QuietMessage) return quietFault ? m_message : std::string();
    return std::string(control.caption);
}

std::string AdvancedDialog::Description(const ControlSpec& control) const {
    const auto role = static_cast<AdvancedRole>(control.role);
    return role != AdvancedRole::None && role == m_fault ? m_message : std::string();
}

std::string AdvancedDialog::Tooltip(const ControlSpec& control) const {
    const auto role = static_cast<AdvancedRole>(control.role);
    if (role == AdvancedRole::Hotkey && !m_hotkeyUnavailable.empty()) return m_hotkeyUnavailable;
    std::string tooltip(control.tooltip);
    if (role != AdvancedRole::VoicePack) return tooltip;
    std::size_t named = 0;
    for (const VoiceChoice& choice : m_packs) {
        if (choice.missing.empty()) continue;
        tooltip += ++named > kIncompleteNamed ? "\n……" : "\n" + Lacks(choice);
        if (named > kIncompleteNamed) break;
    }
    return tooltip;
}

std::vector<std::string> AdvancedDialog::Choices(const ControlSpec& control) const {
    if (static_cast<AdvancedRole>(control.role) != AdvancedRole::VoicePack) return {};
    std::vector<std::string> choices{std::string(kDefaultVoiceChoice)};
    for (const VoiceChoice& choice : m_packs) choices.push_back(choice.name);
    return choices;
}

bool AdvancedDialog::ChoiceGreyed(const ControlSpec& control, int index) const {
    return static_cast<AdvancedRole>(control.role) == AdvancedRole::VoicePack && index > 0 &&
           index <= static_cast<int>(m_packs.size()) &&
           !m_packs[static_cast<std::size_t>(index - 1)].missing.empty();
}

int AdvancedDialog::Value(const ControlSpec& control) const {
    return static_cast<AdvancedRole>(control.role) == AdvancedRole::Volume ? m_volume : 0;
}

void AdvancedDialog::Changed() {
    m_applyEnabled = true;
    m_message.clear();
    m_fault = AdvancedRole::None;
}

bool AdvancedDialog::Save() {
    // No quiet span is stored as two equal times.
    std::int32_t start = 0;
    std::int32_t end = 0;
    if (m_quiet) {
        const std::optional<std::int32_t> first = ParseClockTime(m_texts[AdvancedRole::QuietStart]);
        const std::optional<std::int32_t> last = ParseClockTime(m_texts[AdvancedRole::QuietEnd]);
        if (!first || !last) {
            m_fault = first ? AdvancedRole::QuietEnd : AdvancedRole::QuietStart;
            m_message =
                HasClockTimeForm(m_texts[m_fault]) ? kQuietTimeRangeMessage : kBadQuietTimeMessage;
            return false;
        }
        start = *first;
        end = *last;
        m_texts[AdvancedRole::QuietStart] = ClockTimeText(start);
        m_texts[AdvancedRole::QuietEnd] = ClockTimeText(end);
    }
    // Last of the checks, as it registers the hotkey: a hotkey that cannot be had saves nothing.
    if (m_hotkeyUnavailable.empty()) {
        const std::string refused = m_host.StoreHotkey(m_texts[AdvancedRole::Hotkey]);
        if (!refused.empty()) {
            m_message = refused;
            m_fault = AdvancedRole::Hotkey;
            return false;
        }
        m_texts[AdvancedRole::Hotkey] = m_host.HotkeyText();
    }
    SettingsRecord& settings = m_vars.Settings;
    settings.HalfHour = m_halfHour ? 1 : 0;
    settings.Volume = m_volume;
    settings.Phrasing = m_phrasing;
    settings.QuietStart = start;
    settings.QuietEnd = end;
    if (m_advert >= 0) settings.AdvertMode = m_advert;
    settings.VoicePack = m_pack;
    // Every key of the page, changed or not; a failed write stays silent, as on the first page.
    for (const IntSetting& setting : kAdvancedIntSettings) {
        m_vars.ConfigFile.WriteString(kSettingsSection, setting.key,
                                      std::to_string(settings.*setting.field));
    }
    for (const TimeSetting& setting : kQuietSettings) {
        m_vars.ConfigFile.WriteString(kSettingsSection, setting.key,
                                      ClockTimeText(settings.*setting.field));
    }
    m_vars.ConfigFile.WriteString(kSettingsSection, AdvertKey(),
                                  std::to_string(settings.AdvertMode));
    m_vars.ConfigFile.WriteString(kSettingsSection, kVoicePackKey, settings.VoicePack);
    if (m_busyQuiet || settings.BusyQuiet != 0) {
        settings.BusyQuiet = m_busyQuiet ? 1 : 0;
        m_vars.ConfigFile.WriteString(kSettingsSection, kBusyQuietSetting.key,
                                      std::to_string(settings.BusyQuiet));
    }
    m_message.clear();
    m_fault = AdvancedRole::None;
    m_applyEnabled = false;
    if (m_saved) m_saved();
    return true;
}

}  // namespace tolvane
