#include "win32/FormSettings.h"

namespace tolvane {

Form_一般设置::Form_一般设置(SettingsDialog& core) : DialogWindow(kSettingsDialog), m_core(core) {}

bool Form_一般设置::Form_Load(HINSTANCE instance) {
    if (!Build(instance, nullptr, std::string(kSettingsDialog.caption))) return false;
    m_core.Form_Load();
    Render();
    Show();
    return true;
}

void Form_一般设置::OnClick(const ControlSpec& control) {
    m_core.Click(control);
    Render();
    if (!m_core.IsOpen()) Destroy();
}

void Form_一般设置::OnCloseBox() {
    m_core.CloseBox();
    Render();
    Destroy();
}

void Form_一般设置::Render() {
    const auto& controls = Spec().controls;
    HWND focus = GetFocus();
    for (std::size_t row = 0; row < controls.size(); ++row) {
        const ControlSpec& control = controls[row];
        HWND hwnd = Control(row);
        if (hwnd == nullptr) continue;
        if (control.kind == ControlKind::OptionButton || control.kind == ControlKind::CheckBox) {
            const bool checked = m_core.Checked(control);
            SendMessageW(hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        if (control.kind == ControlKind::OptionButton) {
            // Tab enters a group at its selected option, or at its first when none is.
            const auto group = static_cast<SettingsRole>(control.role);
            const int selected = m_core.Selected(group);
            const bool stop = selected == control.index || (selected < 0 && control.index == 0);
            const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
            SetWindowLongPtrW(hwnd, GWL_STYLE, stop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
        }
        const bool enabled = m_core.Enabled(control);
        if (!enabled && hwnd == focus) {
            // A control greyed under the focus would leave the keyboard nowhere.
            SendMessageW(Handle(), WM_NEXTDLGCTL, 0, FALSE);
        }
        EnableWindow(hwnd, enabled ? TRUE : FALSE);
    }
}

}  // namespace tolvane
