#pragma once

#include "settings/SettingsDialog.h"
#include "win32/DialogWindow.h"

namespace tolvane {

// Form_一般设置: modeless, without owner. Every click goes to the dialog's logic and the
// controls then show what it holds.
class Form_一般设置 final : public DialogWindow {
public:
    explicit Form_一般设置(SettingsDialog& core);

    // Creates the window, loads it from Settings and shows it; false when it could not.
    bool Form_Load(HINSTANCE instance);

private:
    void OnClick(const ControlSpec& control) override;
    void OnCloseBox() override;
    void Render();

    SettingsDialog& m_core;
};

}  // namespace tolvane
