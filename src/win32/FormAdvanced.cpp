#include "win32/FormAdvanced.h"

#include <commctrl.h>

#include <optional>
#include <utility>
#include <vector>

#include "app/Hotkey.h"
#include "win32/TextConversion.h"
#include "win32/VirtualKeys.h"

namespace tolvane {
namespace {

// Fills a drop-down only when its choices changed: refilling would close an open list.
void ShowChoices(HWND box, const std::vector<std::string>& choices, int selected) {
    bool same = SendMessageW(box, CB_GETCOUNT, 0, 0) == static_cast<LRESULT>(choices.size());
    for (std::size_t i = 0; same && i < choices.size(); ++i) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(box, CB_GETLBTEXTLEN, i, 0)) + 1,
                          L'\0');
        text.resize(static_cast<std::size_t>(
            SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        same = text == Utf8ToWide(choices[i]);
    }
    if (!same) {
        SendMessageW(box, CB_RESETCONTENT, 0, 0);
        for (const std::string& choice : choices) {
            SendMessageW(box, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(Utf8ToWide(choice).c_str()));
        }
    }
    if (SendMessageW(box, CB_GETCURSEL, 0, 0) != selected) {
        SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    }
}

std::string WindowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return WideToUtf8(text);
}

constexpr UINT_PTR kHotkeyFieldSubclass = 1;

std::uint32_t ModifiersDown() {
    std::uint32_t modifiers = 0;
    if (GetKeyState(VK_CONTROL) < 0) modifiers |= kHotkeyCtrl;
    if (GetKeyState(VK_MENU) < 0) modifiers |= kHotkeyAlt;
    if (GetKeyState(VK_SHIFT) < 0) modifiers |= kHotkeyShift;
    if (GetKeyState(VK_LWIN) < 0 || GetKeyState(VK_RWIN) < 0) modifiers |= kHotkeyWin;
    return modifiers;
}

bool IsMessage(AdvancedRole role) {
    return role == AdvancedRole::Message || role == AdvancedRole::QuietMessage;
}

}  // namespace

Form_高级设置::Form_高级设置(AdvancedDialog& core, std::function<void()> closing)
    : DialogWindow(kAdvancedDialog), m_core(core), m_closing(std::move(closing)) {}

bool Form_高级设置::Form_Load(HINSTANCE instance, HWND owner) {
    if (!Build(instance, owner, std::string(kAdvancedDialog.caption))) return false;
    m_core.Form_Load();
    Render();
    Show();
    return true;
}

void Form_高级设置::Created(std::size_t row, HWND control) {
    const ControlSpec& spec = Spec().controls[row];
    switch (spec.kind) {
        case ControlKind::Slider:
            SendMessageW(control, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
            SendMessageW(control, TBM_SETPAGESIZE, 0, kVolumePageStep);
            SendMessageW(control, TBM_SETLINESIZE, 0, 1);
            break;
        case ControlKind::TextField:
            SendMessageW(control, EM_LIMITTEXT,
                         TextFieldChars(static_cast<AdvancedRole>(spec.role)), 0);
            if (static_cast<AdvancedRole>(spec.role) == AdvancedRole::Hotkey) {
                SetWindowSubclass(control, &Form_高级设置::HotkeyFieldProc, kHotkeyFieldSubclass,
                                  reinterpret_cast<DWORD_PTR>(this));
            }
            break;
        default:
            break;
    }
}

LRESULT CALLBACK Form_高级设置::HotkeyFieldProc(HWND hwnd, UINT message, WPARAM wParam,
                                                LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    auto* form = reinterpret_cast<Form_高级设置*>(self);
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            form->m_swallowChar = form->RecordKey(hwnd, static_cast<UINT>(wParam));
            if (form->m_swallowChar) return 0;
            break;
        case WM_CHAR:
        case WM_SYSCHAR:
            if (form->m_swallowChar) return 0;
            break;
        case WM_GETDLGCODE:
            // Asked for the message itself, so that the dialog's access keys (Alt+T is 试听)
            // never see the character of a combination just recorded.
            if (const auto* msg = reinterpret_cast<const MSG*>(lParam);
                msg != nullptr && form->m_swallowChar &&
                (msg->message == WM_CHAR || msg->message == WM_SYSCHAR)) {
                return DefSubclassProc(hwnd, message, wParam, lParam) | DLGC_WANTMESSAGE;
            }
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, &Form_高级设置::HotkeyFieldProc, kHotkeyFieldSubclass);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

bool Form_高级设置::RecordKey(HWND field, UINT vk) {
    const ControlSpec* control = ControlOf(field);
    const std::optional<std::string> text = RecordHotkey(ModifiersDown(), KeyNameOf(vk));
    if (control == nullptr || !text) return false;
    m_core.Edit(*control, *text);
    Render();
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(field));
    SendMessageW(field, EM_SETSEL, end, static_cast<LPARAM>(end));
    return true;
}

void Form_高级设置::OnClick(const ControlSpec& control) {
    m_core.Click(control);
    Render();
    const auto role = static_cast<AdvancedRole>(control.role);
    if ((role == AdvancedRole::Ok || role == AdvancedRole::Apply) &&
        m_core.Fault() != AdvancedRole::None) {
        // The keyboard goes to the field at fault, its text selected for typing over.
        for (std::size_t row = 0; row < Spec().controls.size(); ++row) {
            if (static_cast<AdvancedRole>(Spec().controls[row].role) != m_core.Fault()) continue;
            if (HWND field = Control(row)) {
                SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
                SendMessageW(field, EM_SETSEL, 0, -1);
            }
        }
    }
    CloseIfDone();
}

void Form_高级设置::OnCloseBox() {
    m_core.CloseBox();
    CloseIfDone();
}

bool Form_高级设置::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const auto source = reinterpret_cast<HWND>(lParam);
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == CBN_SELCHANGE) {
                if (const ControlSpec* control = ControlOf(source)) {
                    m_core.Click(static_cast<AdvancedRole>(control->role),
                                 static_cast<int>(SendMessageW(source, CB_GETCURSEL, 0, 0)));
                    Render();
                }
                return true;
            }
            if (HIWORD(wParam) != EN_CHANGE) return false;
            // Render's own writes come back as changes too.
            if (const ControlSpec* control = ControlOf(source);
                control != nullptr && !m_rendering) {
                m_core.Edit(*control, WindowText(source));
                Render();
            }
            return true;
        case WM_HSCROLL:
            if (const ControlSpec* control = ControlOf(source)) {
                m_core.Slide(*control, static_cast<int>(SendMessageW(source, TBM_GETPOS, 0, 0)));
                Render();
            }
            return true;
        case WM_CTLCOLORSTATIC:
            if (const ControlSpec* control = ControlOf(source);
                control == nullptr || !IsMessage(static_cast<AdvancedRole>(control->role))) {
                return false;
            }
            SetTextColor(reinterpret_cast<HDC>(wParam), RGB(192, 0, 0));
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
            return true;
        default:
            return false;
    }
}

void Form_高级设置::Render() {
    m_rendering = true;
    const auto& controls = Spec().controls;
    for (std::size_t row = 0; row < controls.size(); ++row) {
        const ControlSpec& control = controls[row];
        HWND hwnd = Control(row);
        if (hwnd == nullptr) continue;
        const auto role = static_cast<AdvancedRole>(control.role);
        ShowChecked(row, m_core.Checked(control),
                    IsOptionTabStop(control.index, m_core.Selected(role)));
        switch (control.kind) {
            case ControlKind::TextField:
            case ControlKind::Label:
                // Only a changed text is set: setting it would move the caret of a field.
                if (role != AdvancedRole::None && WindowText(hwnd) != m_core.Text(control)) {
                    SetWindowTextW(hwnd, Utf8ToWide(m_core.Text(control)).c_str());
                }
                break;
            case ControlKind::DropDown:
                ShowChoices(hwnd, m_core.Choices(control), m_core.Selected(role));
                break;
            case ControlKind::Slider:
                if (SendMessageW(hwnd, TBM_GETPOS, 0, 0) != m_core.Value(control)) {
                    SendMessageW(hwnd, TBM_SETPOS, TRUE, m_core.Value(control));
                }
                break;
            default:
                break;
        }
        EnableControl(row, m_core.Enabled(control));
        if (const std::string why = m_core.Description(control); why != m_descriptions[row]) {
            m_descriptions[row] = why;
            Describe(row, why);
        }
        SetTooltip(row, m_core.Tooltip(control));
    }
    m_rendering = false;
}

void Form_高级设置::CloseIfDone() {
    if (m_core.IsOpen() || !IsOpen()) return;
    if (m_closing) m_closing();
    Destroy();
}

}  // namespace tolvane
