/* Walks a dialog of the running program by Tab as a screen reader hears it: prints the title of
   the window holding the keyboard, then COUNT times the focused control's name and role in the
   dialog titled argv[1], one "name<TAB>role" line in UTF-8, pressing Tab after each. A text field, slider or drop-down is named by
   Windows' own rule (the nearest static before it in the window order, the search stopping at a
   control that is both a group start and a tab stop), which is stricter than Wine's; other
   controls by oleacc, from their own text. Roles come from the class and style: Wine's are
   generic. */
#define COBJMACROS
#include <oleacc.h>
#include <stdio.h>
#include <wchar.h>
#include <windows.h>

/* liboleacc.a's own IID_IAccessible links to a thunk. */
static const GUID kIAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

static void Put(const wchar_t* text) {
    char out[1024];
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out, NULL, NULL);
    if (n > 1) fwrite(out, 1, (size_t)n - 1, stdout);
}

static int IsClass(HWND hwnd, const wchar_t* name) {
    wchar_t kind[64];
    return GetClassNameW(hwnd, kind, 64) > 0 && lstrcmpiW(kind, name) == 0;
}

static void Name(HWND control, wchar_t* name, int size) {
    name[0] = 0;
    if (IsClass(control, L"Edit") || IsClass(control, L"ComboBox") ||
        IsClass(control, L"msctls_trackbar32")) {
        for (HWND before = GetWindow(control, GW_HWNDPREV); before;
             before = GetWindow(before, GW_HWNDPREV)) {
            LONG style = GetWindowLongW(before, GWL_STYLE);
            if (IsClass(before, L"Static")) {
                GetWindowTextW(before, name, size);
                return;
            }
            if ((style & WS_GROUP) && (style & WS_TABSTOP)) return;
        }
        return;
    }
    IAccessible* object = NULL;
    if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, &kIAccessible, (void**)&object)))
        return;
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = NULL;
    if (IAccessible_get_accName(object, self, &text) == S_OK && text) {
        lstrcpynW(name, text, size);
        SysFreeString(text);
    }
    IAccessible_Release(object);
}

static const wchar_t* Role(HWND control) {
    LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    if (IsClass(control, L"Button")) {
        if (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON) return L"radio button";
        if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX) return L"check box";
        return type == BS_GROUPBOX ? L"panel" : L"push button";
    }
    if (IsClass(control, L"Edit")) return L"text";
    if (IsClass(control, L"ComboBox")) return L"combo box";
    if (IsClass(control, L"msctls_trackbar32")) return L"slider";
    return L"label";
}

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    CoInitialize(NULL);
    HWND dialog = NULL;
    for (int waited = 0; !dialog && waited < 10000; waited += 100) {
        if (!(dialog = FindWindowW(NULL, argv[1]))) Sleep(100);
    }
    if (!dialog) return 1;
    Sleep(300);
    wchar_t foreground[256] = L"";
    GetWindowTextW(GetForegroundWindow(), foreground, 256);
    Put(foreground);
    Put(L"\n");
    for (int i = 0; i < _wtoi(argv[2]); ++i) {
        GUITHREADINFO info = {sizeof info};
        wchar_t name[256] = L"";
        const wchar_t* role = L"none";
        if (GetGUIThreadInfo(GetWindowThreadProcessId(dialog, NULL), &info) && info.hwndFocus) {
            Name(info.hwndFocus, name, 256);
            role = Role(info.hwndFocus);
        }
        Put(name);
        Put(L"\t");
        Put(role);
        Put(L"\n");
        INPUT keys[2] = {{INPUT_KEYBOARD}, {INPUT_KEYBOARD}};
        keys[0].ki.wVk = keys[1].ki.wVk = VK_TAB;
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, keys, sizeof keys[0]);
        Sleep(250);
    }
    fflush(stdout);
    return 0;
}
