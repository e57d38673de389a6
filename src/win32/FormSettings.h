#pragma once

#include <functional>
#include <memory>

#include "settings/SettingsDialog.h"
#include "win32/DialogWindow.h"

namespace tolvane {

// Form_一般设置: modeless, without owner. Every click goes to the dialog's logic and the
// controls then show what it holds; `changed` runs after each event so that the main window
// can show its marks and switch its timers.
class Form_一般设置 final : public DialogWindow {
public:
    Form_一般设置(std::unique_ptr<SettingsDialog> core, std::function<void()> changed);

    // Creates the window, loads it from Settings and shows it; false when it could not.
    bool Form_Load(HINSTANCE instance);

private:
    void OnClick(const ControlSpec& control) override;
    void OnCloseBox() override;
    void Render();

    std::unique_ptr<SettingsDialog> m_core;
    std::function<void()> m_changed;
};

}  // namespace tolvane
