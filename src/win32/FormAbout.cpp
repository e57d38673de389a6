#include "win32/FormAbout.h"

#include <commctrl.h>
#include <shellapi.h>

#include "about/AboutBox.h"
#include "about/WebAddresses.h"
#include "win32/Resources.h"
#include "win32/TextConversion.h"

namespace tolvane {

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
    if (static_cast<AboutRole>(control.role) != AboutRole::Link || m_link == nullptr) return;
    // Label_链接官方网站 (the left button, Space or Enter): its own caption, in the ANSI code
    // page. The system's own error box stays away: ours names the address.
    std::string address(static_cast<std::size_t>(GetWindowTextLengthA(m_link)) + 1, '\0');
    address.resize(static_cast<std::size_t>(
        GetWindowTextA(m_link, address.data(), static_cast<int>(address.size()))));
    SHELLEXECUTEINFOA open{};
    open.cbSize = sizeof open;
    open.fMask = SEE_MASK_FLAG_NO_UI;
    open.lpFile = address.c_str();
    open.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&open)) {
        MessageBoxW(Handle(), Utf8ToWide(NoBrowserMessage(AnsiToUtf8(address))).c_str(),
                    Utf8ToWide(AboutCaption()).c_str(), MB_OK | MB_ICONINFORMATION);
    }
}

void frmAbout::OnCloseBox() {
    Destroy();
}

}  // namespace tolvane
