/* Acts on Tolvane's tray icon from outside: posts the notification-area callback message to the
   window titled "Tolvane Ver:3.0.0.0" as the notification area does for a click (left, right,
   middle) or a key on the icon (enter, menukey), at the pointer, or,
   with "menu", waits up to 10 s for a popup menu window and exits 0 when one is shown (with a
   file name after it, writing the menu's screen rectangle there as "left top right bottom"), or,
   with "closed", waits up to 2 s for no popup menu to be shown and exits 0 then, or, with
   "char CS", posts the characters CS to the shown menu as if typed, or, with "lock" or
   "unlock", posts the session's lock or unlock message (which Wine never sends itself). */
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "win32/TrayCallback.h"

static const char kTitle[] = "Tolvane Ver:3.0.0.0";

/* Wine keeps hidden menu windows around, so the first one found says nothing. */
static BOOL CALLBACK FindShownMenu(HWND window, LPARAM found) {
    char name[16];
    if (IsWindowVisible(window) && GetClassNameA(window, name, sizeof name) > 0 &&
        strcmp(name, "#32768") == 0) {
        *(HWND*)found = window;
        return FALSE;
    }
    return TRUE;
}

static HWND ShownMenu(void) {
    HWND found = NULL;
    EnumWindows(FindShownMenu, (LPARAM)&found);
    return found;
}

static int WaitForMenu(int shown, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        if ((ShownMenu() != NULL) == shown) return 0;
        Sleep(50);
    }
    return 1;
}

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    if (strcmp(argv[1], "menu") == 0) {
        if (WaitForMenu(1, 10000) != 0) return 1;
        RECT rect;
        HWND menu = ShownMenu();
        if (argc > 2 && menu != NULL && GetWindowRect(menu, &rect)) {
            FILE* out = fopen(argv[2], "w");
            if (out == NULL) return 1;
            fprintf(out, "%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
            fclose(out);
        }
        return 0;
    }
    if (strcmp(argv[1], "closed") == 0) return WaitForMenu(0, 2000);
    if (strcmp(argv[1], "char") == 0 && argc > 2) {
        /* The menu's loop reads its thread's queue, whichever window a message names. */
        for (const char* c = argv[2]; *c != '\0'; ++c) {
            /* A submenu opened by the last character is shown a moment later. */
            if (c != argv[2]) Sleep(300);
            HWND menu = ShownMenu();
            if (menu == NULL || !PostMessageA(menu, WM_CHAR, (WPARAM)(unsigned char)*c, 0)) return 1;
        }
        return 0;
    }
    if (strcmp(argv[1], "lock") == 0 || strcmp(argv[1], "unlock") == 0) {
        HWND window = FindWindowA(NULL, kTitle);
        WPARAM change = argv[1][0] == 'l' ? 7 /* WTS_SESSION_LOCK */ : 8 /* WTS_SESSION_UNLOCK */;
        return window != NULL && PostMessageA(window, 0x02B1 /* WM_WTSSESSION_CHANGE */, change, 0)
                   ? 0
                   : 1;
    }
    /* Version 4: a click's button message, then what it means; a key's meaning alone. */
    const char* kinds[] = {"left", "right", "middle", "enter", "menukey"};
    const UINT events[][2] = {{WM_LBUTTONUP, NIN_SELECT},
                              {WM_RBUTTONUP, WM_CONTEXTMENU},
                              {WM_MBUTTONUP, 0},
                              {NIN_KEYSELECT, 0},
                              {WM_CONTEXTMENU, 0}};
    HWND window = FindWindowA(NULL, kTitle);
    POINT at;
    GetCursorPos(&at);
    for (int i = 0; i < 5; ++i) {
        for (int k = 0; strcmp(argv[1], kinds[i]) == 0 && k < 2 && events[i][k]; ++k) {
            if (window == NULL ||
                !PostMessageA(window, TOLVANE_TRAY_CALLBACK, MAKEWPARAM(at.x, at.y),
                              MAKELPARAM(events[i][k], TOLVANE_TRAY_ICON_ID)))
                return 1;
        }
        if (strcmp(argv[1], kinds[i]) == 0) return 0;
    }
    return 2;
}
