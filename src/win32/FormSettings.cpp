#include "win32/FormSettings.h"

#include <commctrl.h>

namespace tolvane {
namespace {

constexpr UINT_PTR kLinkSubclass = 1;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);

}  // namespace

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
    if (window != nullptr) EnableWindow(window, enabled ? TRUE : FALSE);
}

void Form_一般设置::Created(std::size_t row, HWND control) {
    if (static_cast<SettingsRole>(Spec().controls[row].role) != SettingsRole::Advanced) return;
    m_link = control;
    SetWindowSubclass(control, &Form_一般设置::LinkProc, kLinkSubclass, 0);
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

bool Form_一般设置::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM lParam, LRESULT& result) {
    if (message != WM_DRAWITEM || m_link == nullptr) return false;
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item->hwndItem != m_link) return false;
    // The link: blue text on the dialog's face, with a focus frame when the keyboard is on it.
    HDC dc = item->hDC;
    RECT area = item->rcItem;
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    wchar_t text[64] = {};
    GetWindowTextW(m_link, text, ARRAYSIZE(text));
    HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(m_link, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, (item->itemState & ODS_DISABLED) ? GetSysColor(COLOR_GRAYTEXT) : kLinkColour);
    DrawTextW(dc, text, -1, &area, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (item->itemState & ODS_FOCUS) {
        RECT extent = area;
        DrawTextW(dc, text, -1, &extent, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
        extent.top = area.top;
        extent.bottom = area.bottom;
        DrawFocusRect(dc, &extent);
    }
    SelectObject(dc, oldFont);
    result = TRUE;
    return true;
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

LRESULT CALLBACK Form_一般设置::LinkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR /*id*/, DWORD_PTR /*data*/) {
    switch (message) {
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        case WM_GETDLGCODE: {
            // Enter on the link follows it rather than pressing OK.
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            const LRESULT code = DefSubclassProc(hwnd, message, wParam, lParam);
            if (msg != nullptr && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
                return code | DLGC_WANTMESSAGE;
            }
            return code;
        }
        case WM_KEYDOWN:
            if (wParam != VK_RETURN) break;
            SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                         reinterpret_cast<LPARAM>(hwnd));
            return 0;
        case WM_CHAR:
            if (wParam == L'\r') return 0;
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, &Form_一般设置::LinkProc, kLinkSubclass);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace tolvane
