/* Tolvane's hotkey and balloons from outside, under Wine.
   "press VK..." presses the virtual keys given in hex in order and releases them in reverse,
   as a user's fingers would (the system sees a real key press); "hold MS VK..." holds them for
   MS milliseconds, the last one repeating every 33 ms as a keyboard repeats a held key.
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

static int Press(int count, char** keys) {
    INPUT inputs[16] = {0};
    if (count > 8) return 2;
    for (int i = 0; i < count; ++i) {
        WORD vk = (WORD)strtoul(keys[i], NULL, 16);
        inputs[i].type = inputs[2 * count - 1 - i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = inputs[2 * count - 1 - i].ki.wVk = vk;
        inputs[2 * count - 1 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    return SendInput((UINT)(2 * count), inputs, sizeof(INPUT)) == (UINT)(2 * count) ? 0 : 1;
}

static int Key(const char* hex, DWORD flags) {
    INPUT input = {0};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = (WORD)strtoul(hex, NULL, 16);
    input.ki.dwFlags = flags;
    return SendInput(1, &input, sizeof input) == 1 ? 0 : 1;
}

static int Hold(int ms, int count, char** keys) {
    int failed = 0;
    for (int i = 0; i < count; ++i) failed |= Key(keys[i], 0);
    for (int held = 0; held < ms; held += 33) {
        Sleep(33);
        failed |= Key(keys[count - 1], 0);
    }
    for (int i = count - 1; i >= 0; --i) failed |= Key(keys[i], KEYEVENTF_KEYUP);
    return failed;
}

int main(int argc, char** argv) {
    if (argc >= 3 && strcmp(argv[1], "press") == 0) return Press(argc - 2, argv + 2);
    if (argc >= 4 && strcmp(argv[1], "hold") == 0) return Hold(atoi(argv[2]), argc - 3, argv + 3);
    wantBalloon = argc == 3 && strcmp(argv[1], "balloon") == 0 ? 0x40 : 0;
    if (argc == 3 && (wantBalloon || strcmp(argv[1], "tip") == 0)) return WriteTip(argv[2]);
    return 2;
}
