/* Starts COUNT copies of a program at the same instant (all created suspended, then resumed
   together) and waits for the outcome: all but one of them ended, and with TITLE given, the
   survivor's top-level window of that title there; or a second window of the title, two copies
   having passed the guard. How long Wine takes to start the copies (seconds, on a loaded machine
   with a cold server) is not the guard's work: SECONDS only bounds the wait. Exits with the
   number of copies still running then, plus 100 when a copy ended with a non-zero code, plus 50
   when TITLE is given and no window of that title appeared. The survivors are ended afterwards,
   so that a next round starts afresh.
   Usage: start_together COUNT SECONDS PROGRAM [TITLE] */
#include <stdlib.h>
#include <windows.h>

#define MAX_COPIES 8

static const wchar_t* title;
static int windows;

static BOOL CALLBACK CountWindow(HWND window, LPARAM unused) {
    wchar_t text[256];
    (void)unused;
    if (GetWindowTextW(window, text, 256) > 0 && lstrcmpW(text, title) == 0) ++windows;
    return TRUE;
}

static int CountWindows(void) {
    windows = 0;
    if (title != NULL) EnumWindows(CountWindow, 0);
    return windows;
}

static int CountRunning(const PROCESS_INFORMATION* copies, int count) {
    int running = 0;
    for (int i = 0; i < count; ++i) {
        if (WaitForSingleObject(copies[i].hProcess, 0) == WAIT_TIMEOUT) ++running;
    }
    return running;
}

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) return 200;
    const int count = _wtoi(argv[1]);
    const int seconds = _wtoi(argv[2]);
    if (count < 1 || count > MAX_COPIES || seconds < 1 || seconds > 120) return 200;
    if (lstrlenW(argv[3]) > 1000) return 200;
    PROCESS_INFORMATION copies[MAX_COPIES];
    int started = 0;
    for (int i = 0; i < count; ++i) {
        STARTUPINFOW startup = {0};
        startup.cb = sizeof startup;
        wchar_t commandLine[1024] = L"\"";
        lstrcatW(commandLine, argv[3]);
        lstrcatW(commandLine, L"\"");
        if (!CreateProcessW(argv[3], commandLine, NULL, NULL, FALSE, CREATE_SUSPENDED, NULL, NULL,
                            &startup, &copies[started])) {
            break;
        }
        ++started;
    }
    for (int i = 0; i < started; ++i) ResumeThread(copies[i].hThread);

    title = argc > 4 ? argv[4] : NULL;
    int result = started < count ? 200 : 0;
    for (int waited = 0; result == 0 && waited < seconds * 1000; waited += 100) {
        const int running = CountRunning(copies, started);
        const int shown = CountWindows();
        if (shown > 1 || (running <= 1 && (title == NULL || shown == 1 || running == 0))) break;
        Sleep(100);
    }
    if (result == 0) {
        result = CountRunning(copies, started);
        for (int i = 0; i < started; ++i) {
            DWORD code = 0;
            if (WaitForSingleObject(copies[i].hProcess, 0) == WAIT_OBJECT_0 &&
                GetExitCodeProcess(copies[i].hProcess, &code) && code != 0) {
                result += 100;
                break;
            }
        }
    }
    if (result == 1 && title != NULL && CountWindows() == 0) result += 50;
    for (int i = 0; i < started; ++i) {
        if (WaitForSingleObject(copies[i].hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(copies[i].hProcess, 0);
            WaitForSingleObject(copies[i].hProcess, 10000);
        }
        CloseHandle(copies[i].hThread);
        CloseHandle(copies[i].hProcess);
    }
    return result;
}
