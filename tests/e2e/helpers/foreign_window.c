/* Holds a hidden top-level window with the given title (of its own window class) for the given
   number of seconds, so that a program searching for that title finds it; with --full, a shown
   one covering the screen, in front, as a full-screen program's. */
#include <stdlib.h>
#include <string.h>
#include <windows.h>

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    WNDCLASSA windowClass = {0};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "ForeignTestWindow";
    RegisterClassA(&windowClass);
    const int full = argc > 3 && strcmp(argv[3], "--full") == 0;
    HWND hwnd = CreateWindowExA(0, "ForeignTestWindow", argv[1],
                                full ? WS_POPUP | WS_VISIBLE : WS_OVERLAPPEDWINDOW, 0, 0,
                                full ? GetSystemMetrics(SM_CXSCREEN) : 100,
                                full ? GetSystemMetrics(SM_CYSCREEN) : 100, NULL, NULL,
                                windowClass.hInstance, NULL);
    if (hwnd == NULL) return 1;
    if (full) SetForegroundWindow(hwnd);
    DWORD end = GetTickCount() + (DWORD)atoi(argv[2]) * 1000;
    MSG msg;
    while (GetTickCount() < end) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(20);
    }
    return 0;
}
