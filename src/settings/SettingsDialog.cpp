#include "settings/SettingsDialog.h"

#include <string>

namespace tolvane {
namespace {

struct Group {
    SettingsRole role;
    std::int32_t SettingsRecord::*field;
    int count;
};

// A group has one button for every value in the setting's range.
constexpr int OptionCount(std::int32_t SettingsRecord::*field) {
    for (const IntSetting& setting : kIntSettings) {
        if (setting.field == field) return setting.max - setting.min + 1;
    }
    return 0;
}

constexpr std::array<Group, 3> kGroups{{
    {SettingsRole::Frequency, &SettingsRecord::Frequency, OptionCount(&SettingsRecord::Frequency)},
    {SettingsRole::Format, &SettingsRecord::AnnounceFormat,
     OptionCount(&SettingsRecord::AnnounceFormat)},
    {SettingsRole::Advert, &SettingsRecord::AdvertMode, OptionCount(&SettingsRecord::AdvertMode)},
}};

constexpr std::array<SettingsRole, 3> kBoxes{SettingsRole::AnnounceOff, SettingsRole::StartAtBoot,
                                             SettingsRole::HourlySyncOn};

int GroupSlot(SettingsRole role) {
    for (std::size_t i = 0; i < kGroups.size(); ++i) {
        if (kGroups[i].role == role) return static_cast<int>(i);
    }
    return -1;
}

int BoxSlot(SettingsRole role) {
    for (std::size_t i = 0; i < kBoxes.size(); ++i) {
        if (kBoxes[i] == role) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

SettingsDialog::SettingsDialog(自定义变量& vars, SettingsDialogHost& host)
    : m_vars(vars), m_host(host) {}

void SettingsDialog::Form_Load() {
    const SettingsRecord& settings = m_vars.Settings;
    for (const Group& group : kGroups) {
        // A hand-edited value with no button of its own selects none; Apply then keeps it.
        Select(group.role, settings.*group.field);
    }
    // Any value other than 0 shows a tick, as the tray's marks do; Apply then stores 1.
    SetBox(SettingsRole::AnnounceOff, settings.AnnounceOff != 0);
    SetBox(SettingsRole::StartAtBoot, settings.StartAtBoot != 0);
    // "自动网络校时" says the sync runs, which it does for every value but 1.
    SetBox(SettingsRole::HourlySyncOn, settings.SyncTimerOff != 1);
    m_applyEnabled = false;
}

void SettingsDialog::Click(SettingsRole role, int index) {
    if (!m_open) return;
    switch (role) {
        case SettingsRole::Frequency:
        case SettingsRole::Format:
        case SettingsRole::Advert:
            Select(role, index);
            // Choosing the option already selected still counts as a change of mind.
            m_applyEnabled = true;
            break;
        case SettingsRole::AnnounceOff:
        case SettingsRole::StartAtBoot:
        case SettingsRole::HourlySyncOn:
            SetBox(role, !Ticked(role));
            break;
        case SettingsRole::Advanced:
            if (Advanced() == nullptr) {
                m_advanced =
                    std::make_unique<AdvancedDialog>(m_vars, m_host, [this] { ShowSavedAdvert(); });
            }
            break;
        case SettingsRole::Apply:
            Apply();
            break;
        case SettingsRole::Ok:
            Apply();
            m_open = false;
            break;
        case SettingsRole::Cancel:
            m_open = false;
            break;
        case SettingsRole::TimeSync:
        case SettingsRole::About:
        case SettingsRole::Exit:
            m_host.RunTrayCommand(role);
            break;
        case SettingsRole::None:
            break;
    }
}

void SettingsDialog::CloseBox() {
    if (m_advanced != nullptr) m_advanced->CloseBox();
    m_open = false;
}

int SettingsDialog::Selected(SettingsRole group) const {
    const int slot = GroupSlot(group);
    return slot < 0 ? -1 : m_selected[static_cast<std::size_t>(slot)];
}

bool SettingsDialog::Ticked(SettingsRole box) const {
    const int slot = BoxSlot(box);
    return slot >= 0 && m_ticked[static_cast<std::size_t>(slot)];
}

bool SettingsDialog::Checked(const ControlSpec& control) const {
    const auto role = static_cast<SettingsRole>(control.role);
    if (control.kind == ControlKind::OptionButton) return Selected(role) == control.index;
    if (control.kind == ControlKind::CheckBox) return Ticked(role);
    return false;
}

bool SettingsDialog::Enabled(const ControlSpec& control) const {
    return static_cast<SettingsRole>(control.role) != SettingsRole::Apply || m_applyEnabled;
}

void SettingsDialog::Select(SettingsRole group, int index) {
    const int slot = GroupSlot(group);
    if (slot < 0 || index < 0 || index >= kGroups[static_cast<std::size_t>(slot)].count) return;
    int& selected = m_selected[static_cast<std::size_t>(slot)];
    if (selected == index) return;
    selected = index;
    m_applyEnabled = true;
}

void SettingsDialog::StartAtBootChanged(bool on) {
    const int slot = BoxSlot(SettingsRole::StartAtBoot);
    if (slot >= 0) m_ticked[static_cast<std::size_t>(slot)] = on;
}

void SettingsDialog::SetBox(SettingsRole box, bool ticked) {
    const int slot = BoxSlot(box);
    if (slot < 0) return;
    bool& state = m_ticked[static_cast<std::size_t>(slot)];
    if (state == ticked) return;
    state = ticked;
    BoxReaction(box);
}

void SettingsDialog::BoxReaction(SettingsRole box) {
    if (box == SettingsRole::StartAtBoot) {
        // Acts at once and for good: neither Cancel nor the close box undo it.
        const bool on = Ticked(box);
        if (on) {
            m_host.RegisterStartAtBoot();
        } else {
            m_host.UnregisterStartAtBoot();
        }
        m_vars.Settings.StartAtBoot = on ? 1 : 0;
        m_host.SetStartAtBootMark(on);
    }
    m_applyEnabled = true;
}

void SettingsDialog::ShowSavedAdvert() {
    // Else this page's Apply would write back the choice it loaded over the one just saved;
    // 从不显示, which it has no button for, selects none and so is kept.
    const int slot = GroupSlot(SettingsRole::Advert);
    const int mode = m_vars.Settings.AdvertMode;
    m_selected[static_cast<std::size_t>(slot)] =
        (mode >= 0 && mode < kGroups[static_cast<std::size_t>(slot)].count) ? mode : -1;
}

void SettingsDialog::Apply() {
    SettingsRecord& settings = m_vars.Settings;
    for (std::size_t i = 0; i < kGroups.size(); ++i) {
        if (m_selected[i] >= 0) settings.*kGroups[i].field = m_selected[i];
    }
    settings.AnnounceOff = Ticked(SettingsRole::AnnounceOff) ? 1 : 0;
    settings.SyncTimerOff = Ticked(SettingsRole::HourlySyncOn) ? 0 : 1;
    // Every key, changed or not, in the file's order; a failed write stays silent.
    for (const IntSetting& setting : kIntSettings) {
        m_vars.ConfigFile.WriteString(kSettingsSection, setting.key,
                                      std::to_string(settings.*setting.field));
    }
    m_host.SetAnnounceTimerEnabled(settings.AnnounceOff != 1);
    m_host.SetSyncTimerEnabled(settings.SyncTimerOff != 1);
    // The tray's mark follows too, or it would say "on" while the clock keeps silent.
    m_host.SetAnnounceOffMark(settings.AnnounceOff != 0);
    m_applyEnabled = false;
}

}  // namespace tolvane
