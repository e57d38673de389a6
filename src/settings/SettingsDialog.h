#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/DialogLayout.h"
#include "settings/AdvancedDialog.h"
#include "settings/CustomVariables.h"
#include "settings/SettingsLayout.h"

namespace tolvane {

// What the settings dialog changes outside itself: the logon entry, the tray menu's two marks
// and the main window's two timers; and the 高级设置 page's preview, spoken by the main window.
class SettingsDialogHost {
public:
    virtual ~SettingsDialogHost() = default;
    virtual void RegisterStartAtBoot() = 0;
    virtual void UnregisterStartAtBoot() = 0;
    virtual void SetStartAtBootMark(bool checked) = 0;
    virtual void SetAnnounceOffMark(bool checked) = 0;
    virtual void SetAnnounceTimerEnabled(bool enabled) = 0;
    virtual void SetSyncTimerEnabled(bool enabled) = 0;
    // Speaks the time now, in this phrasing, at this volume and from this voice pack (a
    // subfolder of Sound; empty for Sound itself), unless something is speaking.
    virtual void PreviewAnnouncement(std::int32_t phrasing, std::int32_t volume,
                                     const std::string& pack) = 0;
    // The voice packs found in Sound, by their folder names, whole ones first.
    virtual std::vector<VoiceChoice> VoicePacks() = 0;
    // The global hotkey in its stored form ("" for none).
    virtual std::string HotkeyText() = 0;
    // Why this desktop has no global hotkey; empty where it has one.
    virtual std::string HotkeyUnavailableReason() = 0;
    // Registers and stores a hotkey typed on the page ("" for none): empty when it did, else
    // why not (the previous hotkey then stays).
    virtual std::string StoreHotkey(std::string_view text) = 0;
    // One of the tray menu's commands chosen on the dialog: TimeSync, About or Exit.
    virtual void RunTrayCommand(SettingsRole command) = 0;
};

// The logic of Form_一般设置, from its loading to its unloading. The window forwards every
// click here and then shows the states it reads back; one object lives as long as one showing.
class SettingsDialog {
public:
    SettingsDialog(自定义变量& vars, SettingsDialogHost& host);

    // Sets the controls from Settings, raising their click reactions as a user's clicks would
    // (a ticked start-at-logon box registers the program again), then greys Apply.
    void Form_Load();

    // A user's click: an option button of a group gets selected (`index`), a check box toggles,
    // a button acts. Controls without a role are ignored.
    void Click(SettingsRole role, int index = -1);
    void Click(const ControlSpec& control) {
        Click(static_cast<SettingsRole>(control.role), control.index);
    }
    // The window's close box: unloaded, nothing saved.
    void CloseBox();
    // The logon entry changed from the tray menu while the dialog is open: the box follows,
    // with no reaction of its own (the menu did what there was to do).
    void StartAtBootChanged(bool on);

    bool IsOpen() const { return m_open; }
    // The 高级设置 page while it is open (Label_高级设置 opens it): the window shows it modally
    // over this one, whose 广告设置 then follows what the page saves.
    AdvancedDialog* Advanced() const {
        return m_advanced != nullptr && m_advanced->IsOpen() ? m_advanced.get() : nullptr;
    }
    // The selected index of an option group, -1 when none is.
    int Selected(SettingsRole group) const;
    bool Ticked(SettingsRole box) const;
    bool ApplyEnabled() const { return m_applyEnabled; }

    // The state a control shows: option buttons and check boxes are checked or not; only
    // Apply is ever disabled.
    bool Checked(const ControlSpec& control) const;
    bool Enabled(const ControlSpec& control) const;

private:
    void Select(SettingsRole group, int index);
    void SetBox(SettingsRole box, bool ticked);
    void BoxReaction(SettingsRole box);
    void Apply();
    void ShowSavedAdvert();

    自定义变量& m_vars;
    SettingsDialogHost& m_host;
    std::array<int, 3> m_selected{-1, -1, -1};
    std::array<bool, 3> m_ticked{};
    bool m_applyEnabled = false;
    bool m_open = true;
    std::unique_ptr<AdvancedDialog> m_advanced;
};

}  // namespace tolvane
