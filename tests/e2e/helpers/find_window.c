/* Exits 0 when a top-level window with exactly the given title exists, 1 otherwise. With
   --wait SECONDS it polls until the window appears or the time runs out; with --gone it waits
   for the window to disappear instead. */
#include <stdlib.h>
#include <string.h>
#include <windows.h>

int main(int argc, char** argv) {
    const char* title = NULL;
    int waitMs = 0;
    int wantGone = 0;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--wait") == 0 && i + 1 < argc) {
            waitMs = atoi(argv[++i]) * 1000;
        } else if (strcmp(argv[i], "--gone") == 0) {
            wantGone = 1;
        } else {
            title = argv[i];
        }
    }
    if (title == NULL) return 2;
    for (int waited = 0;; waited += 50) {
        int found = FindWindowA(NULL, title) != NULL;
        if (found != wantGone) return 0;
        if (waited >= waitMs) return 1;
        Sleep(50);
    }
}
