#include "win32/FormMain.h"

#include <utility>

#include "win32/TextConversion.h"

namespace tolvane {
namespace {

constexpr wchar_t kWindowClass[] = L"TolvaneFormMain";

}  // namespace

Form_Main::Form_Main(const ShellServices& services, ProgramFolder folder)
    : m_core(services, std::move(folder)) {}

Form_Main::~Form_Main() {
    if (m_hwnd != nullptr) DestroyWindow(m_hwnd);
}

bool Form_Main::Create(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Form_Main::WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    RegisterClassExW(&windowClass);

    // Created minimized and never shown: no taskbar button, no flash at start-up.
    m_hwnd = CreateWindowExW(0, kWindowClass, Utf8ToWide(kMainWindowTitle).c_str(),
                             WS_OVERLAPPEDWINDOW | WS_MINIMIZE, CW_USEDEFAULT, CW_USEDEFAULT, 200,
                             100, nullptr, nullptr, instance, this);
    if (m_hwnd == nullptr) return false;
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
    switch (message) {
        case WM_TIMER:
            OnTimer(wParam);
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
    SetCurrentDirectoryW(Utf8ToWide(m_core.Folder().path).c_str());
    ShowWindow(m_hwnd, SW_HIDE);
}

void Form_Main::Render(const ShellState& state) {
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
    SetTimer(m_hwnd, kTimer自动报时, static_cast<UINT>(m_core.AnnounceTickDelay()), nullptr);
}

void Form_Main::OnTimer(UINT_PTR id) {
    switch (id) {
        case kTimer自动报时:
            // Armed again before speaking, so ticks keep coming between the clips.
            ArmAnnounceTimer();
            m_core.AnnounceTick();
            break;
        case kTimer自动升级:
            KillTimer(m_hwnd, kTimer自动升级);
            break;
        case kTimer更新托盘显示时间:
        case kTimer自动校时:
        default:
            break;
    }
}

}  // namespace tolvane
