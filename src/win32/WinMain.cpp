#include "win32/FormMain.h"  // winsock2.h ahead of windows.h

#include <windows.h>

#include <string>

#include "win32/TextConversion.h"
#include "win32/Win32AutostartStore.h"
#include "win32/Win32ClipPlayer.h"
#include "win32/Win32Clock.h"
#include "win32/Win32ClockSetter.h"
#include "win32/Win32DateTimeFormatter.h"
#include "win32/Win32Locale.h"
#include "win32/Win32MessagePump.h"
#include "win32/Win32ProfileStore.h"

namespace {

// Another copy is running when a top-level window bears the main window's title.
void EndIfAlreadyRunning() {
    const std::string title = tolvane::Utf8ToAnsi(tolvane::kMainWindowTitle);
    if (FindWindowA(nullptr, title.c_str()) != nullptr) ExitProcess(0);
}

// The folder (a drive's root keeps its separator) and file name of the executable.
tolvane::ProgramFolder ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {".", '\\'};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {".", '\\', tolvane::WideToUtf8(path)};
    // A drive's root keeps its separator ("C:\").
    const std::size_t keep = (slash == 2 && path[1] == L':') ? slash + 1 : slash;
    return {tolvane::WideToUtf8(path.substr(0, keep)), '\\',
            tolvane::WideToUtf8(path.substr(slash + 1))};
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    EndIfAlreadyRunning();

    tolvane::Win32ProfileStore profiles;
    tolvane::Win32Clock clock;
    tolvane::Win32ClipPlayer player;
    tolvane::Win32MessagePump pump;
    tolvane::Win32Locale locale;
    tolvane::Win32DateTimeFormatter formatter;
    tolvane::Win32TimeSocket timeSocket;
    tolvane::Win32ClockSetter clockSetter;
    tolvane::Win32AutostartStore autostart;
    const tolvane::ShellServices services{profiles,     clock,     player,  pump,
                                          locale,       formatter, nullptr, &timeSocket,
                                          &clockSetter, &autostart};

    tolvane::Form_Main form(services, ExecutableFolder(), &timeSocket);
    if (!form.Create(instance)) return 1;

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
