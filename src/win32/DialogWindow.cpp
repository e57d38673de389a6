#include "win32/DialogWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <numeric>

#include "win32/DialogMessages.h"
#include "win32/Resources.h"
#include "win32/TextConversion.h"

namespace tolvane {
namespace {

constexpr UINT kFirstControlId = 1000;

void RegisterDialogClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefDlgProcW;  // replaced per window as it is created
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(TOLVANE_PROGRAM_ICON));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kDialogWindowClass;
    RegisterClassExW(&windowClass);  // fails harmlessly when registered already
}

struct Child {
    const wchar_t* windowClass;
    DWORD style;
    DWORD exStyle = 0;
};

Child ChildFor(const ControlSpec& control) {
    switch (control.kind) {
        case ControlKind::GroupFrame:
            return {L"BUTTON", BS_GROUPBOX | WS_GROUP};
        case ControlKind::OptionButton:
            // The first option of a group starts it; arrows walk it, Tab leaves it.
            return {L"BUTTON", BS_AUTORADIOBUTTON | (control.index == 0 ? WS_GROUP : 0u)};
        case ControlKind::CheckBox:
            return {L"BUTTON", BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP};
        case ControlKind::Button:
            return {L"BUTTON", static_cast<DWORD>(control.Has(kDefaultButton) ? BS_DEFPUSHBUTTON
                                                                              : BS_PUSHBUTTON) |
                                   WS_GROUP | WS_TABSTOP};
        case ControlKind::Picture:
            return {L"STATIC", SS_ICON};
        case ControlKind::Separator:
            return {L"STATIC", SS_ETCHEDHORZ};
        case ControlKind::LinkLabel:
            // In the tab order a link is a button the dialog draws, so that Tab reaches it and
            // Space presses it.
            if (control.tab >= 0) return {L"BUTTON", BS_OWNERDRAW | WS_GROUP | WS_TABSTOP};
            return {L"STATIC", SS_LEFT | SS_NOPREFIX | SS_NOTIFY};
        case ControlKind::TextField:
            return {L"EDIT", ES_AUTOHSCROLL | WS_GROUP | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case ControlKind::Slider:
            return {TRACKBAR_CLASSW, TBS_HORZ | TBS_NOTICKS | WS_GROUP | WS_TABSTOP};
        case ControlKind::Label:
        default:
            return {L"STATIC", SS_LEFT | SS_NOPREFIX};
    }
}

UINT ControlId(std::size_t row) {
    return kFirstControlId + static_cast<UINT>(row);
}

}  // namespace

HFONT DialogWindow::DialogFont(int dpi, int weight) {
    // Tahoma 8.25 pt: the character height in pixels at this screen's DPI.
    return CreateFontW(-MulDiv(825, dpi, 7200), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, L"Tahoma");
}

DialogWindow::~DialogWindow() {
    Destroy();
    if (m_font != nullptr) DeleteObject(m_font);
}

bool DialogWindow::Build(HINSTANCE instance, HWND owner, const std::string& caption) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterDialogClass(instance);

    HDC screen = GetDC(nullptr);
    m_dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    m_font = DialogFont(m_dpi, FW_NORMAL);

    // No WS_CLIPCHILDREN: group frames leave their inside for the dialog to paint.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    RECT frame{0, 0, m_spec.ClientWidth(), m_spec.ClientHeight()};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + (work.right - work.left - width) / 2;
    const int y = work.top + (work.bottom - work.top - height) / 2;

    m_hwnd = CreateWindowExW(exStyle, kDialogWindowClass, Utf8ToWide(caption).c_str(), style, x, y,
                             width, height, owner, nullptr, instance, nullptr);
    if (m_hwnd == nullptr) return false;
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DialogWindow::WindowProc));
    SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);

    // Tab order is the windows' order: create the controls in it.
    std::vector<std::size_t> order(m_spec.controls.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        const int tabA = m_spec.controls[a].tab, tabB = m_spec.controls[b].tab;
        return (tabA < 0 ? 1000 : tabA) < (tabB < 0 ? 1000 : tabB);
    });
    m_controls.assign(m_spec.controls.size(), nullptr);
    HWND tooltip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr, instance, nullptr);
    if (tooltip != nullptr) SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, 320);
    m_tooltipTexts.reserve(m_spec.controls.size());

    for (std::size_t row : order) {
        const ControlSpec& control = m_spec.controls[row];
        if (control.Has(kLeftOut)) continue;
        const Child child = ChildFor(control);
        const PixelRect rect = ClientPixels(m_spec, control);
        DWORD childStyle = WS_CHILD | WS_VISIBLE | child.style;
        if (control.Has(kDisabledAtLoad)) childStyle |= WS_DISABLED;
        HWND hwnd = CreateWindowExW(
            child.exStyle, child.windowClass, Utf8ToWide(TextOf(control)).c_str(), childStyle,
            rect.left, rect.top, rect.width, rect.height, m_hwnd,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ControlId(row))), instance, nullptr);
        if (hwnd == nullptr) continue;
        m_controls[row] = hwnd;
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
        if (control.Has(kDefaultButton)) SendMessageW(m_hwnd, DM_SETDEFID, ControlId(row), 0);
        if (!control.tooltip.empty() && tooltip != nullptr) {
            m_tooltipTexts.push_back(Utf8ToWide(control.tooltip));
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = m_hwnd;
            tool.uId = reinterpret_cast<UINT_PTR>(hwnd);
            tool.lpszText = m_tooltipTexts.back().data();
            SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
        Created(row, hwnd);
    }
    // Frames go behind everything, so they never paint over a control of a later tab number.
    for (std::size_t row = 0; row < m_controls.size(); ++row) {
        if (m_controls[row] != nullptr && m_spec.controls[row].kind == ControlKind::GroupFrame) {
            SetWindowPos(m_controls[row], HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    return true;
}

void DialogWindow::Show() {
    if (m_hwnd == nullptr) return;
    ShowWindow(m_hwnd, SW_SHOWNORMAL);
    SetForegroundWindow(m_hwnd);
    if (HWND first = GetNextDlgTabItem(m_hwnd, nullptr, FALSE)) {
        SendMessageW(m_hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    }
}

void DialogWindow::BringForward() {
    if (m_hwnd == nullptr) return;
    ShowWindow(m_hwnd, SW_SHOWNORMAL);
    SetForegroundWindow(m_hwnd);
}

void DialogWindow::Destroy() {
    if (m_hwnd != nullptr) DestroyWindow(m_hwnd);
}

LRESULT CALLBACK DialogWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr || self->m_hwnd != hwnd) {
        return DefDlgProcW(hwnd, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT DialogWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (OnMessage(message, wParam, lParam, result)) return result;
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
            return 0;
        case WM_CLOSE:
            OnCloseBox();
            return 0;
        case WM_NCDESTROY: {
            HWND hwnd = m_hwnd;
            m_hwnd = nullptr;
            m_controls.assign(m_controls.size(), nullptr);
            return DefDlgProcW(hwnd, message, wParam, lParam);
        }
        default:
            return DefDlgProcW(m_hwnd, message, wParam, lParam);
    }
}

void DialogWindow::OnCommand(UINT id) {
    // Esc comes as IDCANCEL: the control marked as the cancel button answers it.
    const auto& controls = m_spec.controls;
    if (id == IDCANCEL) {
        for (const ControlSpec& control : controls) {
            if (control.Has(kCancelButton)) {
                OnClick(control);
                return;
            }
        }
        return;
    }
    if (id < kFirstControlId || id >= ControlId(controls.size())) return;
    const std::size_t row = id - kFirstControlId;
    const ControlSpec& control = controls[row];
    switch (control.kind) {
        case ControlKind::Button:
        case ControlKind::OptionButton:
        case ControlKind::CheckBox:
        case ControlKind::LinkLabel:
            // A greyed button can still get an Enter from the dialog manager.
            if (m_controls[row] != nullptr && IsWindowEnabled(m_controls[row])) OnClick(control);
            break;
        default:
            break;
    }
}

}  // namespace tolvane
