/* A stranger's update library, as someone might plant it in the current folder or on the
   search path: loading it appends "loaded" to the file named by TOLVANE_PLANTED_MARKER, and
   its DoUpdate appends "DoUpdate". Tolvane must never load it from there. */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#ifdef _WIN32
#include <windows.h>
#define EXPORT __declspec(dllexport)
#define CALL WINAPI
#else
#define EXPORT __attribute__((visibility("default")))
#define CALL
#endif

static void Mark(const char* what) {
    const char* path = getenv("TOLVANE_PLANTED_MARKER");
    if (path == NULL) return;
    FILE* marker = fopen(path, "a");
    if (marker == NULL) return;
    fprintf(marker, "%s\n", what);
    fclose(marker);
}

#ifdef _WIN32
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) Mark("loaded");
    return TRUE;
}
#else
__attribute__((constructor)) static void Loaded(void) {
    Mark("loaded");
}
#endif

EXPORT void CALL DoUpdate(uint32_t window, const char* address) {
    (void)window;
    (void)address;
    Mark("DoUpdate");
}
