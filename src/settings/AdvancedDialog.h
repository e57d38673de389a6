#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "settings/AdvancedLayout.h"
#include "settings/CustomVariables.h"

namespace tolvane {

class SettingsDialogHost;

// A voice the 高级设置 page offers: a folder's name and, for one that is not a whole pack, the
// clips it lacks as a reader is told them ("三.wav、七.wav"); such a one is greyed and refused.
struct VoiceChoice {
    std::string name;
    std::string missing = {};
};

// The logic of Form_高级设置, the settings dialog's second page: half-hour announcements, the
// quiet span, the volume, the phrasing, the voice, 广告设置 with its third choice, the global
// hotkey and 忙碌时不报时. Like
// the first page it saves on OK and Apply, into Settings and Value.ini, and the main window reads
// those at every tick and announcement. A time it cannot read keeps the page open, saving nothing,
// with a message saying why.
class AdvancedDialog {
public:
    // `saved` runs after every save, so that the first page can show what was saved.
    AdvancedDialog(自定义变量& vars, SettingsDialogHost& host, std::function<void()> saved);

    // Sets the controls from Settings and greys Apply.
    void Form_Load();

    // A user's click: an option of a group gets selected, a check box toggles, a button acts.
    void Click(AdvancedRole role, int index = -1);
    void Click(const ControlSpec& control) {
        Click(static_cast<AdvancedRole>(control.role), control.index);
    }
    // The user's typing in a text field, and moving the slider.
    void Edit(const ControlSpec& control, std::string text);
    void Slide(const ControlSpec& control, int value);
    // The window's close box: unloaded, nothing saved.
    void CloseBox() { m_open = false; }

    bool IsOpen() const { return m_open; }
    // The selected index of an option group or a drop-down, -1 when none is.
    int Selected(AdvancedRole group) const;
    bool ApplyEnabled() const { return m_applyEnabled; }

    // What a control shows: checked or not, enabled or greyed, its text (text fields and the
    // labels the logic fills; other controls their caption) and the slider's value.
    bool Checked(const ControlSpec& control) const;
    bool Enabled(const ControlSpec& control) const;
    std::string Text(const ControlSpec& control) const;
    int Value(const ControlSpec& control) const;
    // A drop-down's choices, in order; a greyed one is shown but refused when chosen.
    std::vector<std::string> Choices(const ControlSpec& control) const;
    bool ChoiceGreyed(const ControlSpec& control, int index) const;
    // The field a failed OK or Apply blames, for the focus to go to; None otherwise.
    AdvancedRole Fault() const { return m_fault; }
    // Why the field at fault could not be saved, for screen readers to say with its name; empty
    // for every other control.
    std::string Description(const ControlSpec& control) const;
    // The table's tooltip, or for a field that cannot be used here, why.
    std::string Tooltip(const ControlSpec& control) const;

private:
    void Changed();
    bool Save();

    自定义变量& m_vars;
    SettingsDialogHost& m_host;
    std::function<void()> m_saved;
    bool m_halfHour = false;
    bool m_busyQuiet = false;
    bool m_quiet = false;
    std::map<AdvancedRole, std::string> m_texts;
    std::int32_t m_volume = 100;
    std::int32_t m_phrasing = 0;
    std::int32_t m_advert = -1;
    // The packs found, and the stored name: one no longer found is kept until another is chosen.
    std::vector<VoiceChoice> m_packs;
    std::string m_pack;
    std::string m_message;
    AdvancedRole m_fault = AdvancedRole::None;
    std::string m_hotkeyUnavailable;
    bool m_applyEnabled = false;
    bool m_open = true;
};

}  // namespace tolvane
