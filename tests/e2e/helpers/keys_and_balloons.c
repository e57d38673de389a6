/* Tolvane's hotkey and balloons from outside, under Wine.
   "hold MS VK..." presses the virtual keys given in hex in order, holds them for MS
   milliseconds, the last one repeating every 33 ms as a keyboard repeats a held key, and
   releases them in reverse, as a user's fingers would (the system sees real key presses).
   "balloon FILE" waits up to
   10 s for a shown balloon of the notification area and writes its text, in UTF-8, to FILE;
   "tip FILE" does the same for a shown tooltip that is no balloon. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

static LONG wantBalloon;

static BOOL CALLBACK FindTip(HWND window, LPARAM found) {
    char name[32];
    if (IsWindowVisible(window) && GetClassNameA(window, name, sizeof name) > 0 &&
        strcmp(name, "tooltips_class32") == 0 &&
        (GetWindowLongW(window, GWL_STYLE) & 0x40 /* TTS_BALLOON */) == wantBalloon) {
        *(HWND*)found = window;
        return FALSE;
    }
    return TRUE;
}

/* A tooltip answers WM_GETTEXT with the text it shows, across processes too. */
static int WriteTip(const char* path) {
    for (int waited = 0; waited < 10000; waited += 100) {
        HWND balloon = NULL;
        EnumWindows(FindTip, (LPARAM)&balloon);
        wchar_t text[512];
        int length = balloon ? (int)SendMessageW(balloon, WM_GETTEXT, 512, (LPARAM)text) : 0;
        if (length > 0) {
            char utf8[2048];
            int bytes =
                WideCharToMultiByte(CP_UTF8, 0, text, length, utf8, sizeof utf8, NULL, NULL);
            FILE* out = fopen(path, "wb");
            if (out == NULL) return 1;
            fwrite(utf8, 1, (size_t)bytes, out);
            fclose(out);
            return 0;
        }
        Sleep(100);
    }
    return 1;
}

static int Press(int count, char** keys, int holdMs) {
    INPUT input = {0};
    int failed = 0;
    input.type = INPUT_KEYBOARD;
    for (int i = 0; i < count + holdMs / 33; ++i) {  // each key down, then the last one repeats
        if (i >= count) Sleep(33);
        input.ki.wVk = (WORD)strtoul(keys[i < count ? i : count - 1], NULL, 16);
        failed |= SendInput(1, &input, sizeof input) != 1;
    }
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    for (int i = count - 1; i >= 0; --i) {
        input.ki.wVk = (WORD)strtoul(keys[i], NULL, 16);
        failed |= SendInput(1, &input, sizeof input) != 1;
    }
    return failed;
}

int main(int argc, char** argv) {
    if (argc >= 4 && strcmp(argv[1], "hold") == 0) return Press(argc - 3, argv + 3, atoi(argv[2]));
    wantBalloon = argc == 3 && strcmp(argv[1], "balloon") == 0 ? 0x40 : 0;
    if (argc == 3 && (wantBalloon || strcmp(argv[1], "tip") == 0)) return WriteTip(argv[2]);
    return 2;
}
