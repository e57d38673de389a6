/* Holds a hidden top-level window with the given title (of its own window class) for the given
   number of seconds, so that a program searching for that title finds it. */
#include <stdlib.h>
#include <windows.h>

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    WNDCLASSA windowClass = {0};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "ForeignTestWindow";
    RegisterClassA(&windowClass);
    HWND hwnd = CreateWindowExA(0, "ForeignTestWindow", argv[1], WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                100, NULL, NULL, windowClass.hInstance, NULL);
    if (hwnd == NULL) return 1;
    DWORD end = GetTickCount() + (DWORD)atoi(argv[2]) * 1000;
    MSG msg;
    while (GetTickCount() < end) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(20);
    }
    return 0;
}
