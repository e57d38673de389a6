#include "win32/FormAbout.h"

#include <commctrl.h>
#include <shellapi.h>

#include "about/AboutBox.h"
#include "about/WebAddresses.h"
#include "win32/Resources.h"

namespace tolvane {
namespace {

constexpr UINT_PTR kLinkSubclass = 1;

int ButtonCode(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
            return 1;
        case WM_RBUTTONDOWN:
            return 2;
        case WM_MBUTTONDOWN:
            return 4;
        default:
            return 0;
    }
}

}  // namespace

frmAbout::frmAbout() : DialogWindow(kAboutDialog) {}

frmAbout::~frmAbout() {
    Destroy();
    if (m_linkFont != nullptr) DeleteObject(m_linkFont);
    if (m_titleFont != nullptr) DeleteObject(m_titleFont);
    if (m_icon != nullptr) DestroyIcon(m_icon);
}

bool frmAbout::Form_Load(HINSTANCE instance, HWND owner) {
    m_icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(TOLVANE_PROGRAM_ICON),
                                           IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    if (!Build(instance, owner, AboutCaption())) return false;
    Show();
    return true;
}

std::string frmAbout::TextOf(const ControlSpec& control) {
    return AboutText(control, kAboutPageUrl);
}

void frmAbout::Created(std::size_t row, HWND control) {
    switch (static_cast<AboutRole>(Spec().controls[row].role)) {
        case AboutRole::Icon:
            SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(m_icon), 0);
            break;
        case AboutRole::Title:
            m_titleFont = DialogFont(Dpi(), FW_BOLD);
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_titleFont), FALSE);
            break;
        case AboutRole::Link:
            // 宋体 9 pt, underlined, in the Chinese character set.
            m_linkFont = CreateFontW(-MulDiv(9, Dpi(), 72), 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE,
                                     GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"宋体");
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_linkFont), FALSE);
            SetWindowSubclass(control, &frmAbout::LinkProc, kLinkSubclass,
                              reinterpret_cast<DWORD_PTR>(this));
            m_link = control;
            break;
        default:
            break;
    }
}

void frmAbout::OnClick(const ControlSpec& control) {
    if (static_cast<AboutRole>(control.role) == AboutRole::Ok) Destroy();
}

void frmAbout::OnCloseBox() {
    Destroy();
}

bool frmAbout::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_CTLCOLORSTATIC && m_link != nullptr &&
        reinterpret_cast<HWND>(lParam) == m_link) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(0, 0, 255));
        SetBkMode(dc, TRANSPARENT);
        result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        return true;
    }
    return false;
}

LRESULT CALLBACK frmAbout::LinkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR /*id*/, DWORD_PTR /*data*/) {
    switch (message) {
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (LinkOpensFor(ButtonCode(message))) {
                // The label's own caption, in the ANSI code page; the result is not examined.
                std::string address(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
                address.resize(static_cast<std::size_t>(
                    GetWindowTextA(hwnd, address.data(), static_cast<int>(address.size()))));
                ShellExecuteA(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
            }
            return 0;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, &frmAbout::LinkProc, kLinkSubclass);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace tolvane
