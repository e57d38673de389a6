#include "win32/FormSettings.h"

namespace tolvane {

Form_一般设置::Form_一般设置(SettingsDialog& core) : DialogWindow(kSettingsDialog), m_core(core) {}

bool Form_一般设置::Form_Load(HINSTANCE instance) {
    m_instance = instance;
    if (!Build(instance, nullptr, std::string(kSettingsDialog.caption))) return false;
    m_core.Form_Load();
    Render();
    Show();
    return true;
}

void Form_一般设置::Enable(bool enabled) {
    m_enabled = enabled;
    HWND window = IsAdvancedOpen() ? m_advanced->Handle() : Handle();
    if (window == nullptr) return;
    EnableWindow(window, enabled ? TRUE : FALSE);
    // Back from the About box, the keyboard comes back here.
    if (enabled) SetForegroundWindow(window);
}

void Form_一般设置::OnClick(const ControlSpec& control) {
    m_core.Click(control);
    Render();
    if (!m_core.IsOpen()) {
        Destroy();
        return;
    }
    if (m_core.Advanced() != nullptr) ShowAdvanced();
}

void Form_一般设置::OnCloseBox() {
    m_core.CloseBox();
    Destroy();
}

void Form_一般设置::Render() {
    for (std::size_t row = 0; row < Spec().controls.size(); ++row) {
        const ControlSpec& control = Spec().controls[row];
        const auto group = static_cast<SettingsRole>(control.role);
        ShowChecked(row, m_core.Checked(control),
                    IsOptionTabStop(control.index, m_core.Selected(group)));
        EnableControl(row, m_core.Enabled(control));
    }
}

void Form_一般设置::ShowAdvanced() {
    if (IsAdvancedOpen()) {
        m_advanced->BringForward();
        return;
    }
    m_advanced = std::make_unique<Form_高级设置>(*m_core.Advanced(), [this] { AdvancedClosing(); });
    // Modal: this dialog takes no input until the page has closed.
    EnableWindow(Handle(), FALSE);
    if (!m_advanced->Form_Load(m_instance, Handle())) {
        m_core.Advanced()->CloseBox();
        AdvancedClosing();
    }
    if (!m_enabled && IsAdvancedOpen()) EnableWindow(m_advanced->Handle(), FALSE);
}

void Form_一般设置::AdvancedClosing() {
    if (Handle() == nullptr) return;
    EnableWindow(Handle(), m_enabled ? TRUE : FALSE);
    // 广告设置 follows what the page saved.
    Render();
}

}  // namespace tolvane
