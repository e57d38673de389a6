#include "win32/FormMain.h"

#include <cwchar>
#include <utility>

#include "win32/DialogMessages.h"
#include "win32/Resources.h"
#include "win32/TextConversion.h"
#include "win32/TrayCallback.h"
#include "win32/VirtualKeys.h"

namespace tolvane {
namespace {

constexpr wchar_t kWindowClass[] = L"TolvaneFormMain";
constexpr UINT kFirstMenuId = 100;
constexpr UINT kFirstPauseMenuId = 200;
constexpr int kHotkeyId = 1;

HICON LoadTrayIcon(HINSTANCE instance, int id) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON),
                                         GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
}

UINT MenuIdOf(std::size_t index) {
    return kFirstMenuId + static_cast<UINT>(index);
}

UINT PauseMenuIdOf(std::size_t index) {
    return kFirstPauseMenuId + static_cast<UINT>(index);
}

ShellServices WithSignals(ShellServices services, DesktopSignalSource* lock,
                          DesktopSignalSource* fullScreen, DesktopSignalSource* microphone) {
    // Windows has no documented do-not-disturb to ask.
    services.desktopSignals = {lock, nullptr, fullScreen, microphone};
    return services;
}

// Window timer ids start at 1.
UINT_PTR TimerIdOf(MainTimer timer) {
    return static_cast<UINT_PTR>(timer) + 1;
}

}  // namespace

Form_Main::Form_Main(const ShellServices& services, ProgramPlaces places)
    : m_core(WithSignals(services, &m_lock, &m_fullScreen, &m_microphone), std::move(places),
             *this) {}

Form_Main::~Form_Main() {
    if (m_hwnd != nullptr) UnloadMain();
    if (m_menu != nullptr) DestroyMenu(m_menu);
    if (m_trayIcon != nullptr) DestroyIcon(m_trayIcon);
    if (m_mutedIcon != nullptr) DestroyIcon(m_mutedIcon);
}

bool Form_Main::Form_Load(HINSTANCE instance) {
    m_instance = instance;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Form_Main::WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(TOLVANE_PROGRAM_ICON));
    RegisterClassExW(&windowClass);

    // Created minimized and never shown: no taskbar button, no flash at start-up.
    m_hwnd = CreateWindowExW(0, kWindowClass, Utf8ToWide(kMainWindowTitle).c_str(),
                             WS_OVERLAPPEDWINDOW | WS_MINIMIZE, CW_USEDEFAULT, CW_USEDEFAULT, 200,
                             100, nullptr, nullptr, instance, this);
    if (m_hwnd == nullptr) return false;

    m_menu = CreatePopupMenu();
    m_pauseMenu = CreatePopupMenu();
    for (std::size_t i = 0; i < kPauseMenu.size(); ++i) {
        const bool greyed = kPauseMenu[i].command == MenuCommand::Resume;
        AppendMenuW(m_pauseMenu, MF_STRING | (greyed ? MF_GRAYED : 0), PauseMenuIdOf(i),
                    Utf8ToWide(kPauseMenu[i].caption).c_str());
    }
    for (std::size_t i = 0; i < kTrayMenu.size(); ++i) {
        const MenuEntry& entry = kTrayMenu[i];
        if (entry.kind == MenuKind::Separator) {
            AppendMenuW(m_menu, MF_SEPARATOR, 0, nullptr);
        } else if (entry.kind == MenuKind::Submenu) {
            AppendMenuW(m_menu, MF_POPUP, reinterpret_cast<UINT_PTR>(m_pauseMenu),
                        Utf8ToWide(entry.caption).c_str());
        } else {
            AppendMenuW(m_menu, MF_STRING, MenuIdOf(i), Utf8ToWide(entry.caption).c_str());
        }
    }
    m_trayIcon = LoadTrayIcon(instance, TOLVANE_PROGRAM_ICON);
    m_mutedIcon = LoadTrayIcon(instance, TOLVANE_MUTED_ICON);
    m_taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    m_startedAgain = RegisterWindowMessageW(kStartedAgainMessage);
    m_tray.cbSize = sizeof m_tray;
    m_tray.hWnd = m_hwnd;
    m_tray.uID = TOLVANE_TRAY_ICON_ID;
    // Version 4 shows the standard tooltip only when asked to.
    m_tray.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE | NIF_SHOWTIP;
    m_tray.uCallbackMessage = TOLVANE_TRAY_CALLBACK;
    m_tray.hIcon = m_trayIcon;
    wcsncpy(m_tray.szTip, L"Tolvane", ARRAYSIZE(m_tray.szTip) - 1);

    m_lock.Attach(m_hwnd);
    m_core.Form_Load();
    return true;
}

LRESULT CALLBACK Form_Main::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Form_Main*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr || self->m_hwnd == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT Form_Main::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == m_taskbarCreated && m_taskbarCreated != 0) {
        // The shell restarted and forgot every icon.
        if (m_trayShown) AddTrayIcon();
        return 0;
    }
    if (message == m_startedAgain && m_startedAgain != 0) {
        m_core.OnStartedAgain();
        return 0;
    }
    switch (message) {
        case WM_TIMER:
            for (MainTimer timer : kMainTimers) {
                if (TimerIdOf(timer) == wParam) m_core.OnTimer(timer);
            }
            return 0;
        case TOLVANE_TRAY_CALLBACK:
            OnTrayMessage(wParam, lParam);
            return 0;
        case WM_HOTKEY:
            if (wParam == kHotkeyId) m_core.OnHotkey();
            return 0;
        case WM_WTSSESSION_CHANGE:
            m_lock.OnSessionChange(wParam);
            return 0;
        case WM_COMMAND:
            OnMenuCommand(LOWORD(wParam));
            return 0;
        case WM_DESTROY:
            m_hwnd = nullptr;
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(m_hwnd, message, wParam, lParam);
    }
}

void Form_Main::OnTrayMessage(WPARAM wParam, LPARAM lParam) {
    const UINT event = TOLVANE_TRAY_EVENT(lParam);
    // A right click comes as its button's release, then as the menu's request; the keyboard's
    // request comes alone.
    const bool afterRightButton = m_rightButtonUp;
    m_rightButtonUp = event == WM_RBUTTONUP;
    switch (event) {
        case NIN_SELECT:
        case NIN_KEYSELECT:
            m_core.OnTrayButton(1);
            break;
        case WM_MBUTTONUP:
            m_core.OnTrayButton(4);
            break;
        case WM_CONTEXTMENU:
            m_menuAnchor = {TOLVANE_TRAY_ANCHOR_X(wParam), TOLVANE_TRAY_ANCHOR_Y(wParam)};
            m_menuByKeyboard = !afterRightButton;
            m_core.OnTrayButton(2);
            break;
        case NIN_BALLOONUSERCLICK:
            m_core.OnNoticeClicked();
            break;
        default:
            break;
    }
}

void Form_Main::OnMenuCommand(UINT id) {
    if (id >= kFirstPauseMenuId && id < PauseMenuIdOf(kPauseMenu.size())) {
        m_core.OnMenuCommand(kPauseMenu[id - kFirstPauseMenuId].command);
        return;
    }
    if (id < kFirstMenuId || id >= MenuIdOf(kTrayMenu.size())) return;
    m_core.OnMenuCommand(kTrayMenu[id - kFirstMenuId].command);
}

void Form_Main::SetTimer(MainTimer timer, int intervalMs) {
    if (m_hwnd != nullptr)
        ::SetTimer(m_hwnd, TimerIdOf(timer), static_cast<UINT>(intervalMs), nullptr);
}

void Form_Main::KillTimer(MainTimer timer) {
    if (m_hwnd != nullptr) ::KillTimer(m_hwnd, TimerIdOf(timer));
}

void Form_Main::ShowTrayIcon() {
    m_trayShown = true;
    AddTrayIcon();
}

void Form_Main::AddTrayIcon() {
    Shell_NotifyIconW(NIM_ADD, &m_tray);
    // Version 4: the keyboard reaches the icon (Enter speaks, the menu key opens the menu).
    NOTIFYICONDATAW version = m_tray;
    version.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconW(NIM_SETVERSION, &version);
}

void Form_Main::SetTrayTooltip(const std::string& text) {
    const std::wstring tip = Utf8ToWide(text);
    wcsncpy(m_tray.szTip, tip.c_str(), ARRAYSIZE(m_tray.szTip) - 1);
    m_tray.szTip[ARRAYSIZE(m_tray.szTip) - 1] = L'\0';
    if (m_trayShown) Shell_NotifyIconW(NIM_MODIFY, &m_tray);
}

void Form_Main::SetMenuChecks(bool announceOff, bool startAtBoot) {
    for (std::size_t i = 0; i < kTrayMenu.size(); ++i) {
        if (kTrayMenu[i].kind != MenuKind::Check) continue;
        const bool checked =
            kTrayMenu[i].command == MenuCommand::AnnounceOff ? announceOff : startAtBoot;
        CheckMenuItem(m_menu, MenuIdOf(i), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
}

void Form_Main::EnableResume(bool enabled) {
    for (std::size_t i = 0; i < kPauseMenu.size(); ++i) {
        if (kPauseMenu[i].command != MenuCommand::Resume) continue;
        EnableMenuItem(m_pauseMenu, PauseMenuIdOf(i),
                       MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
}

void Form_Main::PopupTrayMenu() {
    const POINT at = m_menuAnchor;
    const bool byKeyboard = m_menuByKeyboard;
    m_menuByKeyboard = false;
    // Without the foreground the menu would stay open after a click elsewhere.
    SetForegroundWindow(m_hwnd);
    const UINT id = static_cast<UINT>(
        TrackPopupMenu(m_menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x,
                       at.y, 0, m_hwnd, nullptr));
    PostMessageW(m_hwnd, WM_NULL, 0, 0);
    // The keyboard goes back to the notification area, before a chosen dialog takes it.
    if (byKeyboard && m_trayShown) Shell_NotifyIconW(NIM_SETFOCUS, &m_tray);
    if (id != 0) PostMessageW(m_hwnd, WM_COMMAND, id, 0);
}

void Form_Main::SetCurrentFolder(const std::string& path) {
    SetCurrentDirectoryW(Utf8ToWide(path).c_str());
}

void Form_Main::HideMain() {
    ShowWindow(m_hwnd, SW_HIDE);
}

std::uint32_t Form_Main::MainWindowHandle() {
    // Window handles fit in 32 bits, also in 64-bit Windows.
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(m_hwnd));
}

bool Form_Main::ShowSettings(SettingsDialog& dialog, bool enabled) {
    m_settings = std::make_unique<Form_一般设置>(dialog);
    if (!m_settings->Form_Load(m_instance)) {
        m_settings.reset();
        return false;
    }
    if (!enabled) m_settings->Enable(false);
    return true;
}

void Form_Main::BringSettingsForward() {
    if (m_settings != nullptr) m_settings->BringForward();
}

void Form_Main::EnableSettings(bool enabled) {
    if (m_settings != nullptr && m_settings->IsOpen()) m_settings->Enable(enabled);
}

void Form_Main::RefreshSettings() {
    if (m_settings != nullptr && m_settings->IsOpen()) m_settings->Render();
}

void Form_Main::CloseSettings() {
    if (m_settings != nullptr) m_settings->Destroy();
}

void Form_Main::RunAbout() {
    // An owner keeps the box out of the taskbar; the main window cannot be it, being minimized.
    HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 m_instance, nullptr);
    frmAbout about;
    m_about = &about;
    if (about.Form_Load(m_instance, owner)) {
        MSG msg;
        while (about.IsOpen()) {
            const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got <= 0) {
                // Leave the quit request for the main loop.
                if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            DispatchProgramMessage(msg);
        }
    }
    m_about = nullptr;
    if (owner != nullptr) DestroyWindow(owner);
}

void Form_Main::BringAboutForward() {
    if (m_about != nullptr) m_about->BringForward();
}

void Form_Main::CloseAbout() {
    if (m_about != nullptr) m_about->Destroy();
}

AdvertView* Form_Main::CreateAdvert(AdvertWindowCore& advert) {
    m_advert = std::make_unique<Form_广告>(m_instance, advert);
    if (!m_advert->Create()) {
        m_advert.reset();
        return nullptr;
    }
    return m_advert.get();
}

void Form_Main::CloseAdvert() {
    if (m_advert != nullptr) m_advert->Close();
}

void Form_Main::UnloadMain() {
    if (m_hwnd == nullptr) return;
    // The icon goes before the window, or it would linger in the notification area.
    Shell_NotifyIconW(NIM_DELETE, &m_tray);
    for (MainTimer timer : kMainTimers) KillTimer(timer);
    m_lock.Detach();
    DestroyWindow(m_hwnd);
}

void Form_Main::SetTrayIconMuted(bool muted) {
    m_tray.hIcon = muted ? m_mutedIcon : m_trayIcon;
    if (m_trayShown) Shell_NotifyIconW(NIM_MODIFY, &m_tray);
}

void Form_Main::ShowTrayNotice(const TrayNotice& notice) {
    if (!m_trayShown) return;
    NOTIFYICONDATAW balloon = m_tray;
    balloon.uFlags = NIF_INFO;
    wcsncpy(balloon.szInfo, Utf8ToWide(notice.text).c_str(), ARRAYSIZE(balloon.szInfo) - 1);
    wcsncpy(balloon.szInfoTitle, Utf8ToWide(notice.title).c_str(),
            ARRAYSIZE(balloon.szInfoTitle) - 1);
    balloon.dwInfoFlags = notice.kind == NoticeKind::Info ? NIIF_INFO : NIIF_WARNING;
    Shell_NotifyIconW(NIM_MODIFY, &balloon);
}

HotkeyRegistration Form_Main::RegisterHotkey(const Hotkey& hotkey) {
    const UINT vk = VirtualKeyOf(hotkey.key);
    if (m_hwnd == nullptr || vk == 0) return HotkeyRegistration::Unavailable;
    UINT modifiers = MOD_NOREPEAT;
    if (hotkey.modifiers & kHotkeyCtrl) modifiers |= MOD_CONTROL;
    if (hotkey.modifiers & kHotkeyAlt) modifiers |= MOD_ALT;
    if (hotkey.modifiers & kHotkeyShift) modifiers |= MOD_SHIFT;
    if (hotkey.modifiers & kHotkeyWin) modifiers |= MOD_WIN;
    if (::RegisterHotKey(m_hwnd, kHotkeyId, modifiers, vk)) {
        m_hotkeyVk = vk;
        return HotkeyRegistration::Registered;
    }
    return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED ? HotkeyRegistration::Taken
                                                             : HotkeyRegistration::Unavailable;
}

void Form_Main::UnregisterHotkey() {
    if (m_hwnd != nullptr) ::UnregisterHotKey(m_hwnd, kHotkeyId);
}

std::string Form_Main::HotkeyUnavailableReason() {
    return "";
}

bool Form_Main::IsHotkeyDown() {
    return m_hotkeyVk != 0 && (GetAsyncKeyState(static_cast<int>(m_hotkeyVk)) & 0x8000) != 0;
}

}  // namespace tolvane
