/* Acts on Tolvane's tray icon from outside: posts the notification-area callback message to the
   window titled "Tolvane Ver:3.0.0.0" with the given mouse message (left, right, middle), or,
   with "menu", waits up to 10 s for a popup menu window and exits 0 when one is shown. */
#include <string.h>
#include <windows.h>

#include "win32/TrayCallback.h"

static const char kTitle[] = "Tolvane Ver:3.0.0.0";

static int WaitForMenu(void) {
    for (int waited = 0; waited < 10000; waited += 50) {
        HWND menu = FindWindowA("#32768", NULL);
        if (menu != NULL && IsWindowVisible(menu)) return 0;
        Sleep(50);
    }
    return 1;
}

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    if (strcmp(argv[1], "menu") == 0) return WaitForMenu();
    UINT mouse = 0;
    if (strcmp(argv[1], "left") == 0) mouse = WM_LBUTTONUP;
    if (strcmp(argv[1], "right") == 0) mouse = WM_RBUTTONUP;
    if (strcmp(argv[1], "middle") == 0) mouse = WM_MBUTTONUP;
    if (mouse == 0) return 2;
    HWND window = FindWindowA(NULL, kTitle);
    if (window == NULL) return 1;
    return PostMessageA(window, TOLVANE_TRAY_CALLBACK, 1, (LPARAM)mouse) ? 0 : 1;
}
