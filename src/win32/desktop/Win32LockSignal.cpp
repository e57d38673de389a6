#include "win32/desktop/Win32LockSignal.h"

#include <versionhelpers.h>
#include <wtsapi32.h>

#include <string>

namespace tolvane {
namespace {

// Not in MinGW's headers: WTSSessionInfoEx's answer, as far as its flags.
constexpr int kSessionInfoEx = 25;
struct SessionInfoEx {
    DWORD level;
    struct alignas(8) {
        ULONG sessionId;
        int sessionState;
        LONG sessionFlags;
    } level1;
};
constexpr LONG kSessionLocked = 0;
constexpr LONG kSessionUnlocked = 1;

template <typename Function>
Function Lookup(HMODULE module, const char* name) {
    if (module == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

Win32LockSignal::~Win32LockSignal() {
    Detach();
    if (m_wtsapi != nullptr) FreeLibrary(m_wtsapi);
}

void Win32LockSignal::Attach(HWND window) {
    // Looked up, so that the program starts where the session functions are missing; from the
    // system folder by its full path, never from beside the program.
    wchar_t system[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        const std::wstring path = std::wstring(system, length) + L"\\wtsapi32.dll";
        m_wtsapi = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    const auto notify =
        Lookup<BOOL(WINAPI*)(HWND, DWORD)>(m_wtsapi, "WTSRegisterSessionNotification");
    if (notify != nullptr && notify(window, NOTIFY_FOR_THIS_SESSION)) m_window = window;

    const auto query = Lookup<BOOL(WINAPI*)(HANDLE, DWORD, int, LPWSTR*, DWORD*)>(
        m_wtsapi, "WTSQuerySessionInformationW");
    const auto release = Lookup<void(WINAPI*)(void*)>(m_wtsapi, "WTSFreeMemory");
    LPWSTR buffer = nullptr;
    DWORD bytes = 0;
    if (query == nullptr || release == nullptr ||
        !query(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, kSessionInfoEx, &buffer, &bytes)) {
        return;
    }
    if (bytes >= sizeof(SessionInfoEx)) {
        const auto* info = reinterpret_cast<const SessionInfoEx*>(buffer);
        LONG flags = info->level1.sessionFlags;
        // Windows 7 gives the two flags the other way round.
        if (!IsWindows8OrGreater() && (flags == kSessionLocked || flags == kSessionUnlocked)) {
            flags = kSessionLocked + kSessionUnlocked - flags;
        }
        if (info->level == 1 && flags == kSessionLocked) m_locked = SignalState::On;
        if (info->level == 1 && flags == kSessionUnlocked) m_locked = SignalState::Off;
    }
    release(buffer);
}

void Win32LockSignal::Detach() {
    const auto forget = Lookup<BOOL(WINAPI*)(HWND)>(m_wtsapi, "WTSUnRegisterSessionNotification");
    if (forget != nullptr && m_window != nullptr) forget(m_window);
    m_window = nullptr;
}

void Win32LockSignal::OnSessionChange(WPARAM change) {
    if (change == WTS_SESSION_LOCK) m_locked = SignalState::On;
    if (change == WTS_SESSION_UNLOCK) m_locked = SignalState::Off;
}

void Win32LockSignal::Refresh() {
    BOOL running = FALSE;
    m_saver = SystemParametersInfoW(SPI_GETSCREENSAVERRUNNING, 0, &running, 0)
                  ? (running ? SignalState::On : SignalState::Off)
                  : SignalState::Unknown;
}

}  // namespace tolvane
