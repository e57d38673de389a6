#include "win32/FormMain.h"

#include <cwchar>
#include <utility>

#include "win32/DialogMessages.h"
#include "win32/Resources.h"
#include "win32/TextConversion.h"
#include "win32/TrayCallback.h"

namespace tolvane {
namespace {

constexpr wchar_t kWindowClass[] = L"TolvaneFormMain";
constexpr UINT kFirstMenuId = 100;
constexpr UINT kTrayIconId = 1;

UINT MenuIdOf(std::size_t index) {
    return kFirstMenuId + static_cast<UINT>(index);
}

}  // namespace

Form_Main::Form_Main(const ShellServices& services, ProgramFolder folder)
    : m_core(services, std::move(folder)), m_pump(services.pump) {}

Form_Main::~Form_Main() {
    if (m_hwnd != nullptr) UnloadMain();
    if (m_menu != nullptr) DestroyMenu(m_menu);
    if (m_trayIcon != nullptr) DestroyIcon(m_trayIcon);
}

bool Form_Main::Create(HINSTANCE instance) {
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
    for (std::size_t i = 0; i < kTrayMenu.size(); ++i) {
        const MenuEntry& entry = kTrayMenu[i];
        if (entry.kind == MenuKind::Separator) {
            AppendMenuW(m_menu, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuW(m_menu, MF_STRING, MenuIdOf(i), Utf8ToWide(entry.caption).c_str());
        }
    }
    m_trayIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(TOLVANE_PROGRAM_ICON),
                                               IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    m_taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    m_tray.cbSize = sizeof m_tray;
    m_tray.hWnd = m_hwnd;
    m_tray.uID = kTrayIconId;
    m_tray.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    m_tray.uCallbackMessage = TOLVANE_TRAY_CALLBACK;
    m_tray.hIcon = m_trayIcon;
    wcsncpy(m_tray.szTip, L"Tolvane", ARRAYSIZE(m_tray.szTip) - 1);
    AddTrayIcon();

    Form_Load();
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
        AddTrayIcon();
        return 0;
    }
    switch (message) {
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case TOLVANE_TRAY_CALLBACK:
            OnTrayMessage(lParam);
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

void Form_Main::Form_Load() {
    const ShellState& state = m_core.Load();
    SetTimer(m_hwnd, kTimer更新托盘显示时间, 1000, nullptr);
    SetTimer(m_hwnd, kTimer自动升级, 2000, nullptr);
    Render(state);
    SetTrayTooltip(m_core.TooltipText());
    if (m_core.Folder().IsKnown()) SetCurrentDirectoryW(Utf8ToWide(m_core.Folder().path).c_str());
    ShowWindow(m_hwnd, SW_HIDE);
}

void Form_Main::Render(const ShellState& state) {
    for (std::size_t i = 0; i < kTrayMenu.size(); ++i) {
        bool checked = false;
        if (kTrayMenu[i].command == MenuCommand::AnnounceOff) checked = state.announceOffChecked;
        if (kTrayMenu[i].command == MenuCommand::StartAtBoot) checked = state.startAtBootChecked;
        if (kTrayMenu[i].kind == MenuKind::Check) {
            CheckMenuItem(m_menu, MenuIdOf(i),
                          MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
        }
    }
    if (!state.announceTimerEnabled) {
        KillTimer(m_hwnd, kTimer自动报时);
    } else if (!m_announceTimerOn) {
        ArmAnnounceTimer();
    }
    m_announceTimerOn = state.announceTimerEnabled;
    if (state.syncTimerEnabled != m_syncTimerOn) {
        if (state.syncTimerEnabled) {
            SetTimer(m_hwnd, kTimer自动校时, 1000, nullptr);
        } else {
            KillTimer(m_hwnd, kTimer自动校时);
        }
    }
    m_syncTimerOn = state.syncTimerEnabled;
}

void Form_Main::ArmAnnounceTimer() {
    if (m_hwnd == nullptr) return;  // an exit chosen during the announcement
    SetTimer(m_hwnd, kTimer自动报时, static_cast<UINT>(m_core.AnnounceTickDelay()), nullptr);
}

void Form_Main::OnTimer(UINT_PTR id) {
    switch (id) {
        case kTimer更新托盘显示时间:
            SetTrayTooltip(m_core.TooltipText());
            break;
        case kTimer自动报时:
            // Armed again before speaking, so ticks keep coming between the clips.
            ArmAnnounceTimer();
            m_core.AnnounceTick();
            break;
        case kTimer自动升级:
            // Off before the tasks run: it fires once per start, whatever they do.
            KillTimer(m_hwnd, kTimer自动升级);
            m_core.AutoUpgradeTick(
                static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(m_hwnd)), *this);
            break;
        case kTimer自动校时:
            m_core.SyncTick();
            break;
        default:
            break;
    }
}

void Form_Main::OnTrayMessage(LPARAM mouseMessage) {
    int buttonCode = 0;
    switch (static_cast<UINT>(mouseMessage)) {
        case WM_LBUTTONUP:
            buttonCode = 1;
            break;
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU:
            buttonCode = 2;
            break;
        default:
            return;
    }
    if (m_core.OnTrayButton(buttonCode) == TrayButtonAction::ShowMenu) ShowTrayMenu();
}

void Form_Main::ShowTrayMenu() {
    POINT cursor{};
    GetCursorPos(&cursor);
    // Without the foreground the menu would stay open after a click elsewhere.
    SetForegroundWindow(m_hwnd);
    TrackPopupMenu(m_menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0,
                   m_hwnd, nullptr);
    PostMessageW(m_hwnd, WM_NULL, 0, 0);
}

void Form_Main::OnMenuCommand(UINT id) {
    if (id < kFirstMenuId || id >= MenuIdOf(kTrayMenu.size())) return;
    const MenuCommand command = kTrayMenu[id - kFirstMenuId].command;
    if (command == MenuCommand::Exit) {
        m_core.Exit(*this);
        return;
    }
    if (command == MenuCommand::Settings) {
        ShowSettings();
        return;
    }
    if (command == MenuCommand::About) {
        ShowAbout();
        return;
    }
    Render(m_core.OnMenuCommand(command));
}

void Form_Main::ShowSettings() {
    if (m_settings != nullptr && m_settings->IsOpen()) {
        m_settings->BringForward();
        return;
    }
    m_settings = std::make_unique<Form_一般设置>(m_core.NewSettingsDialog(),
                                                 [this] { Render(m_core.State()); });
    if (!m_settings->Form_Load(m_instance)) {
        m_settings.reset();
        return;
    }
    // While the About box is up, the other windows wait for it.
    if (m_about != nullptr) EnableWindow(m_settings->Handle(), FALSE);
}

void Form_Main::ShowAbout() {
    if (m_about != nullptr) {
        m_about->BringForward();
        return;
    }
    // An owner keeps the box out of the taskbar; the main window cannot be it, being minimized.
    HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 m_instance, nullptr);
    frmAbout about;
    m_about = &about;
    if (IsSettingsOpen()) EnableWindow(m_settings->Handle(), FALSE);
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
    if (IsSettingsOpen()) EnableWindow(m_settings->Handle(), TRUE);
    if (owner != nullptr) DestroyWindow(owner);
}

bool Form_Main::IsSettingsOpen() {
    return m_settings != nullptr && m_settings->IsOpen();
}

void Form_Main::CloseSettings() {
    if (m_settings != nullptr) m_settings->Destroy();
}

bool Form_Main::IsAboutOpen() {
    return m_about != nullptr && m_about->IsOpen();
}

void Form_Main::CloseAbout() {
    if (m_about != nullptr) m_about->Destroy();
}

void Form_Main::AddTrayIcon() {
    Shell_NotifyIconW(NIM_ADD, &m_tray);
}

void Form_Main::SetTrayTooltip(const std::string& text) {
    const std::wstring tip = Utf8ToWide(text);
    wcsncpy(m_tray.szTip, tip.c_str(), ARRAYSIZE(m_tray.szTip) - 1);
    m_tray.szTip[ARRAYSIZE(m_tray.szTip) - 1] = L'\0';
    Shell_NotifyIconW(NIM_MODIFY, &m_tray);
}

void Form_Main::LoadAdvert() {
    if (m_advert == nullptr) m_advert = std::make_unique<Form_广告>(m_instance, m_pump);
    m_advert->Load();
}

void Form_Main::SetAdvertOpenPageOnClose(bool open) {
    if (m_advert != nullptr) m_advert->Core().SetOpenPageOnClose(open);
}

bool Form_Main::IsAdvertOpen() {
    return m_advert != nullptr && m_advert->IsOpen();
}

void Form_Main::CloseAdvert() {
    if (m_advert != nullptr) m_advert->Close();
}

void Form_Main::UnloadMain() {
    if (m_hwnd == nullptr) return;
    // The icon goes before the window, or it would linger in the notification area.
    Shell_NotifyIconW(NIM_DELETE, &m_tray);
    for (UINT_PTR id : {kTimer更新托盘显示时间, kTimer自动报时, kTimer自动升级, kTimer自动校时}) {
        KillTimer(m_hwnd, id);
    }
    DestroyWindow(m_hwnd);
}

}  // namespace tolvane
