/* Reports on a top-level window found by its title: window_state TITLE OUTFILE writes
   "visible=V left=L top=T right=R bottom=B screen=W,H" to OUTFILE and exits 0, or exits 1 when
   there is no such window. With --close it posts WM_CLOSE to the window instead, as the close
   box would; with --press ID it clicks the dialog's button of that ID (7: No). */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    HWND window = FindWindowA(NULL, argv[1]);
    if (window == NULL) return 1;
    if (strcmp(argv[2], "--close") == 0) return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
    if (strcmp(argv[2], "--press") == 0 && argc > 3) {
        HWND button = GetDlgItem(window, atoi(argv[3]));
        return button != NULL && PostMessageA(button, BM_CLICK, 0, 0) ? 0 : 1;
    }
    RECT rect;
    GetWindowRect(window, &rect);
    FILE* out = fopen(argv[2], "w");
    if (out == NULL) return 3;
    fprintf(out, "visible=%d left=%ld top=%ld right=%ld bottom=%ld screen=%d,%d\n",
            IsWindowVisible(window) ? 1 : 0, rect.left, rect.top, rect.right, rect.bottom,
            GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    fclose(out);
    return 0;
}
