#include "win32/DialogWindow.h"

// The property GUIDs of the accessibility annotations, defined here.
#include <initguid.h>

#include <commctrl.h>
#include <oleacc.h>

#include "win32/DialogMessages.h"
#include "win32/Resources.h"
#include "win32/TextConversion.h"
#include "win32/WindowDpi.h"

namespace tolvane {
namespace {

constexpr UINT kFirstControlId = 1000;
// No WS_CLIPCHILDREN: group frames leave their inside for the dialog to paint.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
// Tooltips wrap at this width, in pixels at 96 DPI.
constexpr int kTooltipWidth = 320;
// An open drop-down list shows this many rows of the box's height before it scrolls.
constexpr int kDropDownRows = 8;
constexpr UINT_PTR kLinkSubclass = 1;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);

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
        // Statics start a group too, so that the arrow keys of an option group before a label
        // stop at it.
        case ControlKind::Picture:
            return {L"STATIC", SS_ICON | WS_GROUP};
        case ControlKind::Separator:
            return {L"STATIC", SS_ETCHEDHORZ | WS_GROUP};
        case ControlKind::LinkLabel:
            // In the tab order a link is a button the dialog draws, so that Tab reaches it and
            // Space presses it.
            if (control.tab >= 0) return {L"BUTTON", BS_OWNERDRAW | WS_GROUP | WS_TABSTOP};
            return {L"STATIC", SS_LEFT | SS_NOPREFIX | SS_NOTIFY | WS_GROUP};
        case ControlKind::TextField:
            return {L"EDIT", ES_AUTOHSCROLL | WS_GROUP | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case ControlKind::Slider:
            return {TRACKBAR_CLASSW, TBS_HORZ | TBS_NOTICKS | WS_GROUP | WS_TABSTOP};
        case ControlKind::DropDown:
            // Drawn by the dialog, so that a choice can be shown greyed.
            return {L"COMBOBOX", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS |
                                     WS_VSCROLL | WS_GROUP | WS_TABSTOP};
        case ControlKind::Label:
        default:
            return {L"STATIC", SS_LEFT | SS_NOPREFIX | WS_GROUP};
    }
}

UINT ControlId(std::size_t row) {
    return kFirstControlId + static_cast<UINT>(row);
}

// The table row of a control id; past the table's end for any other id.
std::size_t RowOf(UINT id) {
    return id - kFirstControlId;
}

// What Windows itself calls a control: a field takes the text of the label before it, any
// other control its own text without the access key's ampersand (its brackets stay).
std::string WindowsName(const DialogSpec& spec, const ControlSpec& control,
                        const std::string& text) {
    if (const ControlSpec* label = LabelOf(spec, control)) return std::string(label->caption);
    std::string name = text;
    if (const std::size_t amp = name.find('&'); amp != std::string::npos) name.erase(amp, 1);
    return name;
}

// A property screen readers read instead of the one Windows derives (dynamic annotation);
// quietly nothing where the system offers no annotations.
void Annotate(HWND control, const MSAAPROPID& property, const std::string& text) {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&services)))) {
        return;
    }
    std::wstring wide = Utf8ToWide(text);
    if (text.empty()) {
        services->ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, &property, 1);
    } else {
        services->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, property, wide.data());
    }
    services->Release();
}

}  // namespace

HFONT DialogWindow::DialogFont(int dpi, int weight) {
    // Tahoma 8.25 pt: the character height in pixels at this DPI, to the nearest pixel but a
    // half down. The tables were drawn around the 11 pixels of 96 DPI with no room to spare;
    // the 17 of 16.5 at 144 DPI would no longer fit the check boxes.
    const int height = (825 * dpi + 3599) / 7200;
    return CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
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

    // Made at its size at 96 DPI on the primary monitor, then laid out at that monitor's DPI.
    const SIZE outer = OuterSizeAt(kDefaultDpi);
    m_hwnd = CreateWindowExW(kExStyle, kDialogWindowClass, Utf8ToWide(caption).c_str(), kStyle, 0,
                             0, outer.cx, outer.cy, owner, nullptr, instance, nullptr);
    if (m_hwnd == nullptr) return false;
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DialogWindow::WindowProc));

    // The windows' order is the tab order, and the order screen readers find a field's label
    // in: create the controls in it.
    const std::vector<std::size_t> order = CreationOrder(m_spec);
    m_controls.assign(m_spec.controls.size(), nullptr);
    m_tooltip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr, instance, nullptr);
    m_tooltipTexts.reserve(m_spec.controls.size());
    m_tooltipsShown.assign(m_spec.controls.size(), std::wstring());

    for (std::size_t row : order) {
        const ControlSpec& control = m_spec.controls[row];
        if (control.Has(kLeftOut)) continue;
        const Child child = ChildFor(control);
        DWORD childStyle = WS_CHILD | WS_VISIBLE | child.style;
        if (control.Has(kDisabledAtLoad)) childStyle |= WS_DISABLED;
        HWND hwnd = CreateWindowExW(
            child.exStyle, child.windowClass, Utf8ToWide(TextOf(control)).c_str(), childStyle, 0, 0,
            0, 0, m_hwnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ControlId(row))), instance,
            nullptr);
        if (hwnd == nullptr) continue;
        m_controls[row] = hwnd;
        if (control.Has(kDefaultButton)) SendMessageW(m_hwnd, DM_SETDEFID, ControlId(row), 0);
        if (!control.tooltip.empty() && m_tooltip != nullptr) {
            m_tooltipTexts.push_back(Utf8ToWide(control.tooltip));
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = m_hwnd;
            tool.uId = reinterpret_cast<UINT_PTR>(hwnd);
            tool.lpszText = m_tooltipTexts.back().data();
            SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
            m_tooltipsShown[row] = m_tooltipTexts.back();
        }
        if (control.kind == ControlKind::LinkLabel && control.tab >= 0) {
            SetWindowSubclass(hwnd, &DialogWindow::LinkProc, kLinkSubclass, 0);
        }
        // Where the table's name is not what Windows would derive (a field named more fully
        // than its label, a caption's access-key brackets).
        if (const std::string text = TextOf(control);
            !control.accessibleName.empty() &&
            WindowsName(m_spec, control, text) != control.accessibleName) {
            Annotate(hwnd, PROPID_ACC_NAME, std::string(control.accessibleName));
        }
        Created(row, hwnd);
    }
    Layout(WindowDpi(m_hwnd), nullptr);
    return true;
}

SIZE DialogWindow::OuterSizeAt(int dpi) const {
    return OuterSize(m_spec.ClientWidth(dpi), m_spec.ClientHeight(dpi), kStyle, kExStyle, dpi);
}

void DialogWindow::Layout(int dpi, const RECT* place) {
    m_dpi = dpi;
    HFONT font = DialogFont(dpi, FW_NORMAL);
    SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (std::size_t row = 0; row < m_controls.size(); ++row) {
        if (m_controls[row] == nullptr) continue;
        const PixelRect rect = ClientPixels(m_spec, m_spec.controls[row], dpi);
        SendMessageW(m_controls[row], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // A drop-down's height is that of its open list; the box itself takes the font's.
        const int height =
            rect.height * (m_spec.controls[row].kind == ControlKind::DropDown ? kDropDownRows : 1);
        SetWindowPos(m_controls[row], nullptr, rect.left, rect.top, rect.width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (m_spec.controls[row].kind == ControlKind::DropDown) {
            // The box at the font's height, as a drop-down the system draws has; its rows with
            // room for the taller glyphs of a Chinese face standing in for Tahoma.
            SendMessageW(m_controls[row], CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                         ChoiceHeight() + 2);
            SendMessageW(m_controls[row], CB_SETITEMHEIGHT, 0, ChoiceHeight() + 4);
        }
    }
    // Only now that no control uses the old font any more.
    if (m_font != nullptr) DeleteObject(m_font);
    m_font = font;
    if (m_tooltip != nullptr) {
        SendMessageW(m_tooltip, TTM_SETMAXTIPWIDTH, 0, MulDiv(kTooltipWidth, dpi, kDefaultDpi));
    }
    Scaled();

    // The frame as drawn now: at the new DPI once Windows has moved the window there.
    RECT window{}, client{};
    GetWindowRect(m_hwnd, &window);
    GetClientRect(m_hwnd, &client);
    const SIZE outer{m_spec.ClientWidth(dpi) + (window.right - window.left) - client.right,
                     m_spec.ClientHeight(dpi) + (window.bottom - window.top) - client.bottom};
    POINT at{};
    if (place != nullptr) {
        at = {place->left, place->top};
    } else {
        RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        at = {work.left + (work.right - work.left - outer.cx) / 2,
              work.top + (work.bottom - work.top - outer.cy) / 2};
    }
    SetWindowPos(m_hwnd, nullptr, at.x, at.y, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
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

int DialogWindow::ChoiceHeight() const {
    HFONT font = m_font != nullptr ? m_font : DialogFont(m_dpi, FW_NORMAL);
    HDC dc = GetDC(m_hwnd);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(m_hwnd, dc);
    if (font != m_font) DeleteObject(font);
    return metrics.tmHeight;
}

void DialogWindow::DrawChoice(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT area = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    FillRect(dc, &area,
             GetSysColorBrush(disabled   ? COLOR_BTNFACE
                              : selected ? COLOR_HIGHLIGHT
                                         : COLOR_WINDOW));
    if (item.itemID == static_cast<UINT>(-1)) return;
    const ControlSpec* control = ControlOf(item.hwndItem);
    const bool greyed =
        disabled || (control != nullptr && ChoiceGreyed(*control, static_cast<int>(item.itemID)));
    std::wstring text(
        static_cast<std::size_t>(SendMessageW(item.hwndItem, CB_GETLBTEXTLEN, item.itemID, 0)) + 1,
        L'\0');
    const LRESULT length = SendMessageW(item.hwndItem, CB_GETLBTEXT, item.itemID,
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(greyed     ? COLOR_GRAYTEXT
                                 : selected ? COLOR_HIGHLIGHTTEXT
                                            : COLOR_WINDOWTEXT));
    area.left += 2;
    DrawTextW(dc, text.c_str(), -1, &area,
              DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
    if ((item.itemState & ODS_FOCUS) != 0) DrawFocusRect(dc, &item.rcItem);
}

LRESULT DialogWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (OnMessage(message, wParam, lParam, result)) return result;
    switch (message) {
        case WM_MEASUREITEM:
            if (auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
                item->CtlType == ODT_COMBOBOX) {
                item->itemHeight = static_cast<UINT>(ChoiceHeight() + 4);
                return TRUE;
            }
            return DefDlgProcW(m_hwnd, message, wParam, lParam);
        case WM_DRAWITEM:
            if (const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
                item->CtlType == ODT_COMBOBOX) {
                DrawChoice(*item);
                return TRUE;
            } else if (ControlOf(item->hwndItem) != nullptr) {
                DrawLink(*item);
                return TRUE;
            }
            return DefDlgProcW(m_hwnd, message, wParam, lParam);
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
            return 0;
        case WM_CLOSE:
            OnCloseBox();
            return 0;
        case WM_GETDPISCALEDSIZE:
            // Windows then suggests exactly the size the layout takes at the new DPI.
            *reinterpret_cast<SIZE*>(lParam) = OuterSizeAt(LOWORD(wParam));
            return TRUE;
        case WM_DPICHANGED:
            Layout(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_NCDESTROY: {
            HWND hwnd = m_hwnd;
            m_hwnd = nullptr;
            m_tooltip = nullptr;
            m_controls.assign(m_controls.size(), nullptr);
            return DefDlgProcW(hwnd, message, wParam, lParam);
        }
        default:
            return DefDlgProcW(m_hwnd, message, wParam, lParam);
    }
}

void DialogWindow::DrawLink(const DRAWITEMSTRUCT& item) {
    // Blue text on the dialog's face, with a focus frame when the keyboard is on it.
    HDC dc = item.hDC;
    RECT area = item.rcItem;
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    const int length = GetWindowTextLengthW(item.hwndItem);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(item.hwndItem, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, (item.itemState & ODS_DISABLED) ? GetSysColor(COLOR_GRAYTEXT) : kLinkColour);
    DrawTextW(dc, text.c_str(), -1, &area, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS) {
        RECT extent = area;
        DrawTextW(dc, text.c_str(), -1, &extent,
                  DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
        extent.top = area.top;
        extent.bottom = area.bottom;
        DrawFocusRect(dc, &extent);
    }
    SelectObject(dc, oldFont);
}

LRESULT CALLBACK DialogWindow::LinkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR /*id*/, DWORD_PTR /*data*/) {
    switch (message) {
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        case WM_GETDLGCODE: {
            // Enter on a link follows it rather than pressing the default button.
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
            RemoveWindowSubclass(hwnd, &DialogWindow::LinkProc, kLinkSubclass);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void DialogWindow::Describe(std::size_t row, const std::string& why) {
    HWND hwnd = m_controls[row];
    if (hwnd == nullptr) return;
    Annotate(hwnd, PROPID_ACC_DESCRIPTION, why);
    NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, hwnd, OBJID_CLIENT, CHILDID_SELF);
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
    const std::size_t row = RowOf(id);
    if (row >= controls.size()) return;
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

const ControlSpec* DialogWindow::ControlOf(HWND hwnd) const {
    const std::size_t row = RowOf(static_cast<UINT>(GetDlgCtrlID(hwnd)));
    if (hwnd == nullptr || row >= m_controls.size() || m_controls[row] != hwnd) return nullptr;
    return &m_spec.controls[row];
}

void DialogWindow::ShowChecked(std::size_t row, bool checked, bool tabStop) {
    HWND hwnd = m_controls[row];
    const ControlKind kind = m_spec.controls[row].kind;
    if (hwnd == nullptr || (kind != ControlKind::OptionButton && kind != ControlKind::CheckBox)) {
        return;
    }
    SendMessageW(hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    // Only after the check: BM_SETCHECK makes an option button a tab stop exactly when it is
    // checked, which would leave a group with none checked out of the tab order.
    if (kind == ControlKind::OptionButton) {
        const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
        SetWindowLongPtrW(hwnd, GWL_STYLE, tabStop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
}

void DialogWindow::SetTooltip(std::size_t row, const std::string& text) {
    const std::wstring wide = Utf8ToWide(text);
    if (m_tooltip == nullptr || row >= m_tooltipsShown.size() || m_tooltipsShown[row].empty() ||
        m_tooltipsShown[row] == wide) {
        return;
    }
    m_tooltipsShown[row] = wide;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_controls[row]);
    tool.lpszText = m_tooltipsShown[row].data();
    SendMessageW(m_tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void DialogWindow::EnableControl(std::size_t row, bool enabled) {
    HWND hwnd = m_controls[row];
    if (hwnd == nullptr) return;
    // A control greyed under the focus would leave the keyboard nowhere.
    if (!enabled && hwnd == GetFocus()) SendMessageW(m_hwnd, WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(hwnd, enabled ? TRUE : FALSE);
}

}  // namespace tolvane
