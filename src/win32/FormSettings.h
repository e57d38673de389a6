#pragma once

#include <memory>

#include "settings/SettingsDialog.h"
#include "win32/DialogWindow.h"
#include "win32/FormAdvanced.h"

namespace tolvane {

// Form_一般设置: modeless, without owner. Every click goes to the dialog's logic and the
// controls then show what it holds; Label_高级设置 opens Form_高级设置 over it.
class Form_一般设置 final : public DialogWindow {
public:
    explicit Form_一般设置(SettingsDialog& core);

    // Creates the window, loads it from Settings and shows it; false when it could not.
    bool Form_Load(HINSTANCE instance);
    // Greys the dialog while the About box is up; with the 高级设置 page open the page is greyed
    // instead, the dialog staying greyed under it. Enabled again, it takes the keyboard.
    void Enable(bool enabled);
    // Shows the logic's state again.
    void Render();

private:
    void OnClick(const ControlSpec& control) override;
    void OnCloseBox() override;
    void ShowAdvanced();
    void AdvancedClosing();
    bool IsAdvancedOpen() const { return m_advanced != nullptr && m_advanced->IsOpen(); }

    SettingsDialog& m_core;
    HINSTANCE m_instance = nullptr;
    bool m_enabled = true;
    std::unique_ptr<Form_高级设置> m_advanced;
};

}  // namespace tolvane
