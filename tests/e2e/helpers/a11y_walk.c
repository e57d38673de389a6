/* Walks a dialog of the running program by Tab as a screen reader hears it: prints the title of
   the window holding the keyboard, then COUNT times the focused control's "name<TAB>role" in the
   dialog titled argv[1] (UTF-8), pressing Tab after each. A text field, slider or drop-down is
   named by Windows' own rule (the nearest static before it in the window order, the search
   ending at a control that both starts a group and is a tab stop), stricter than Wine's; other
   controls by oleacc. Roles come from class and style: Wine's are generic. */
#define COBJMACROS
#include <oleacc.h>
#include <stdio.h>
#include <windows.h>

/* liboleacc.a's own IID_IAccessible links to a thunk. */
static const GUID kIAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

static void Put(const wchar_t* text, const char* after) {
    char out[1024];
    if (WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out, NULL, NULL) > 0)
        printf("%s%s", out, after);
}

static int Is(HWND hwnd, const wchar_t* name) {
    wchar_t kind[64];
    return GetClassNameW(hwnd, kind, 64) > 0 && lstrcmpiW(kind, name) == 0;
}

static void Name(HWND control, wchar_t* name) {
    if (Is(control, L"Edit") || Is(control, L"ComboBox") || Is(control, L"msctls_trackbar32")) {
        for (HWND at = GetWindow(control, GW_HWNDPREV); at; at = GetWindow(at, GW_HWNDPREV)) {
            const LONG style = GetWindowLongW(at, GWL_STYLE);
            if (Is(at, L"Static")) GetWindowTextW(at, name, 256);
            if (Is(at, L"Static") || ((style & WS_GROUP) && (style & WS_TABSTOP))) return;
        }
        return;
    }
    IAccessible* object = NULL;
    VARIANT self = {.vt = VT_I4, .lVal = CHILDID_SELF};
    BSTR text = NULL;
    if (SUCCEEDED(
            AccessibleObjectFromWindow(control, OBJID_CLIENT, &kIAccessible, (void**)&object))) {
        if (IAccessible_get_accName(object, self, &text) == S_OK && text)
            lstrcpynW(name, text, 256);
        SysFreeString(text);
        IAccessible_Release(object);
    }
}

static const wchar_t* Role(HWND control) {
    const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    if (Is(control, L"Button")) {
        if (type == BS_AUTORADIOBUTTON) return L"radio button";
        return type == BS_AUTOCHECKBOX ? L"check box" : L"push button";
    }
    if (Is(control, L"Edit")) return L"text";
    if (Is(control, L"ComboBox")) return L"combo box";
    return Is(control, L"msctls_trackbar32") ? L"slider" : L"label";
}

int wmain(int argc, wchar_t** argv) {
    HWND dialog = NULL;
    for (int waited = 0; argc > 2 && !dialog && waited < 10000; waited += 100) {
        if (!(dialog = FindWindowW(NULL, argv[1]))) Sleep(100);
    }
    if (!dialog) return 1;
    CoInitialize(NULL);
    Sleep(300);
    wchar_t foreground[256] = L"";
    GetWindowTextW(GetForegroundWindow(), foreground, 256);
    Put(foreground, "\n");
    for (int i = 0; i < _wtoi(argv[2]); ++i) {
        GUITHREADINFO info = {.cbSize = sizeof info};
        wchar_t name[256] = L"";
        GetGUIThreadInfo(GetWindowThreadProcessId(dialog, NULL), &info);
        if (info.hwndFocus) Name(info.hwndFocus, name);
        Put(name, "\t");
        Put(info.hwndFocus ? Role(info.hwndFocus) : L"none", "\n");
        INPUT keys[2] = {
            {.type = INPUT_KEYBOARD, .ki = {.wVk = VK_TAB}},
            {.type = INPUT_KEYBOARD, .ki = {.wVk = VK_TAB, .dwFlags = KEYEVENTF_KEYUP}}};
        SendInput(2, keys, sizeof keys[0]);
        Sleep(250);
    }
    return 0;
}
