#include "win32/desktop/Win32MicrophoneSignal.h"

#include <windows.h>

namespace tolvane {
namespace {

constexpr wchar_t kStore[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\CapabilityAccessManager\\ConsentStore\\"
    L"microphone";
constexpr int kMaxApps = 4096;

bool HoldsIt(HKEY app) {
    ULONGLONG stop = 1;
    DWORD size = sizeof stop;
    return RegGetValueW(app, nullptr, L"LastUsedTimeStop", RRF_RT_QWORD, nullptr, &stop, &size) ==
               ERROR_SUCCESS &&
           stop == 0;
}

// Whether an app under `key` holds the microphone: packaged apps are its subkeys, the others
// subkeys of its subkey NonPackaged.
bool AnyHoldsIt(HKEY key, bool descend) {
    // A key's name has at most 255 characters.
    wchar_t name[256];
    for (DWORD i = 0; i < kMaxApps; ++i) {
        DWORD length = 256;
        const LONG found = RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (found == ERROR_NO_MORE_ITEMS) return false;
        if (found != ERROR_SUCCESS) continue;
        HKEY app = nullptr;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, &app) != ERROR_SUCCESS) continue;
        const bool holds = HoldsIt(app) || (descend && lstrcmpiW(name, L"NonPackaged") == 0 &&
                                            AnyHoldsIt(app, false));
        RegCloseKey(app);
        if (holds) return true;
    }
    return false;
}

}  // namespace

void Win32MicrophoneSignal::Refresh() {
    HKEY store = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kStore, 0, KEY_READ, &store) != ERROR_SUCCESS) {
        m_state = SignalState::Unknown;
        return;
    }
    m_state = AnyHoldsIt(store, true) ? SignalState::On : SignalState::Off;
    RegCloseKey(store);
}

}  // namespace tolvane
