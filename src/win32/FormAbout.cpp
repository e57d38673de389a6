#include "win32/FormAbout.h"

#include <commctrl.h>
#include <shellapi.h>

#include "about/AboutBox.h"
#include "about/WebAddresses.h"
#include "win32/Resources.h"
#include "win32/TextConversion.h"

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
    if (m_iconImage != nullptr) DestroyIcon(m_iconImage);
}

bool frmAbout::Form_Load(HINSTANCE instance, HWND owner) {
    m_instance = instance;
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
            m_icon = control;
            break;
        case AboutRole::Title:
            m_title = control;
            break;
        case AboutRole::Link:
            SetWindowSubclass(control, &frmAbout::LinkProc, kLinkSubclass,
                              reinterpret_cast<DWORD_PTR>(this));
            m_link = control;
            break;
        default:
            break;
    }
}

void frmAbout::Scaled() {
    // Each replaced only once its control has the new one.
    const int dpi = Dpi();
    if (m_icon != nullptr) {
        const int size = MulDiv(32, dpi, kDefaultDpi);
        HICON image =
            static_cast<HICON>(LoadImageW(m_instance, MAKEINTRESOURCEW(TOLVANE_PROGRAM_ICON),
                                          IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        SendMessageW(m_icon, STM_SETICON, reinterpret_cast<WPARAM>(image), 0);
        if (m_iconImage != nullptr) DestroyIcon(m_iconImage);
        m_iconImage = image;
    }
    if (m_title != nullptr) {
        HFONT font = DialogFont(dpi, FW_BOLD);
        SendMessageW(m_title, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        if (m_titleFont != nullptr) DeleteObject(m_titleFont);
        m_titleFont = font;
    }
    if (m_link != nullptr) {
        // 宋体 9 pt, underlined, in the Chinese character set.
        HFONT font = CreateFontW(-MulDiv(9, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE,
                                 GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"宋体");
        SendMessageW(m_link, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        if (m_linkFont != nullptr) DeleteObject(m_linkFont);
        m_linkFont = font;
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
                // The label's own caption, in the ANSI code page.
                std::string address(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
                address.resize(static_cast<std::size_t>(
                    GetWindowTextA(hwnd, address.data(), static_cast<int>(address.size()))));
                // The system's own error box stays away: ours names the address.
                SHELLEXECUTEINFOA open{};
                open.cbSize = sizeof open;
                open.fMask = SEE_MASK_FLAG_NO_UI;
                open.lpFile = address.c_str();
                open.nShow = SW_SHOWNORMAL;
                if (!ShellExecuteExA(&open)) {
                    MessageBoxW(GetAncestor(hwnd, GA_ROOT),
                                Utf8ToWide(NoBrowserMessage(AnsiToUtf8(address))).c_str(),
                                Utf8ToWide(AboutCaption()).c_str(), MB_OK | MB_ICONINFORMATION);
                }
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
