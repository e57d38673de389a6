#include "win32/FormMain.h"
#include "win32/Win32TimeSocket.h"

#include <windows.h>

#include <ole2.h>

#include <string>

#include "base/AsciiText.h"
#include "timesync/ElevatedClock.h"
#include "voice/FeederThread.h"
#include "win32/DialogMessages.h"
#include "win32/TextConversion.h"
#include "win32/Win32AutostartStore.h"
#include "win32/Win32Clock.h"
#include "win32/Win32ClockSetter.h"
#include "win32/Win32DateTimeFormatter.h"
#include "win32/Win32Locale.h"
#include "win32/Win32MessagePump.h"
#include "win32/Win32ProfileStore.h"
#include "win32/Win32SoundFolders.h"
#include "win32/Win32SoundStream.h"
#include "win32/Win32UiThread.h"
#include "win32/Win32UpdateLibrary.h"
#include "win32/Win32UserEnvironment.h"

namespace {

// Another copy is running when a top-level window bears the main window's title, or when it
// holds the session's mutex of that name. The window appears only once the copy has started,
// so two copies started together both miss it; the mutex is taken atomically before any
// window exists, and held until the process ends.
// The running copy opens its settings dialog, with the right to take the foreground that this
// copy, just started by the user, holds: the way in where no tray can be reached.
void TellRunningCopy() {
    HWND running = FindWindowA(nullptr, tolvane::Utf8ToAnsi(tolvane::kMainWindowTitle).c_str());
    if (running == nullptr) return;
    DWORD process = 0;
    GetWindowThreadProcessId(running, &process);
    AllowSetForegroundWindow(process);
    PostMessageW(running, RegisterWindowMessageW(tolvane::kStartedAgainMessage), 0, 0);
}

[[noreturn]] void EndAsSecondCopy() {
    TellRunningCopy();
    // A GUI program has a standard error only when started with one (redirected, or from a
    // terminal under Wine); else the console of the command prompt that started it, if any.
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if ((error == nullptr || error == INVALID_HANDLE_VALUE) &&
        AttachConsole(ATTACH_PARENT_PROCESS)) {
        error = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                            nullptr);
    }
    if (error != nullptr && error != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(error, tolvane::kAlreadyRunningLine.data(),
                  static_cast<DWORD>(tolvane::kAlreadyRunningLine.size()), &written, nullptr);
    }
    ExitProcess(0);
}

void EndIfAlreadyRunning() {
    const std::string title = tolvane::Utf8ToAnsi(tolvane::kMainWindowTitle);
    if (FindWindowA(nullptr, title.c_str()) != nullptr) EndAsSecondCopy();
    const std::wstring name = L"Local\\" + tolvane::Utf8ToWide(tolvane::kMainWindowTitle);
    // Kept open for the process's life; a mutex that cannot be made at all guards nothing.
    if (CreateMutexW(nullptr, FALSE, name.c_str()) != nullptr &&
        GetLastError() == ERROR_ALREADY_EXISTS) {
        EndAsSecondCopy();
    }
}

// The folder (a drive's root keeps its separator) and file name of the executable; an empty
// folder when it cannot be told: the program then runs on defaults rather than on whatever the
// current folder holds.
tolvane::ProgramFolder ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {"", '\\'};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {"", '\\'};
    // A drive's root keeps its separator ("C:\").
    const std::size_t keep = (slash == 2 && path[1] == L':') ? slash + 1 : slash;
    return {tolvane::WideToUtf8(path.substr(0, keep)), '\\',
            tolvane::WideToUtf8(path.substr(slash + 1))};
}

// The advert window hosts an ActiveX control: OLE for the whole life of the windows.
struct OleSession {
    OleSession() { OleInitialize(nullptr); }
    ~OleSession() { OleUninitialize(); }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
    // Started by a running copy with administrator rights, to set the clock and end: no
    // guard, no window, whatever the value.
    const std::string commandLine = tolvane::WideToUtf8(arguments != nullptr ? arguments : L"");
    if (tolvane::IsSetClockCommand(tolvane::TrimSpacesAndTabs(commandLine))) {
        return tolvane::SetClockByArguments(tolvane::TrimSpacesAndTabs(commandLine));
    }
    EndIfAlreadyRunning();
    const OleSession ole;

    const tolvane::ProgramFolder folder = ExecutableFolder();
    tolvane::ProgramPlaces places = tolvane::PlacesOf(folder);
    tolvane::Win32ProfileStore profiles(places.installed ? places.settings.path : std::string());
    tolvane::Win32Clock clock;
    tolvane::Win32SoundStream sound;
    tolvane::Win32UiThread uiThread;
    tolvane::FeederThread soundThread(uiThread);
    tolvane::Win32MessagePump pump;
    tolvane::Win32Locale locale;
    tolvane::Win32DateTimeFormatter formatter;
    tolvane::Win32UpdateLibrary update(folder);
    tolvane::Win32TimeSocket timeSocket;
    tolvane::Win32ClockSetter clockSetter;
    tolvane::Win32AutostartStore autostart;
    tolvane::Win32SoundFolders soundFolders;
    const tolvane::ShellServices services{profiles,    clock,        sound,      soundThread,
                                          pump,        locale,       formatter,  &update,
                                          &timeSocket, &clockSetter, &autostart, &soundFolders};

    tolvane::Form_Main form(services, std::move(places));
    if (!form.Form_Load(instance)) return 1;

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        tolvane::DispatchProgramMessage(msg);
    }
    return 0;
}
