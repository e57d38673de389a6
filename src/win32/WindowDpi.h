#pragma once

#include <windows.h>

namespace tolvane {

// The DPI a window is shown at: its monitor's, as the program is aware of every monitor's DPI;
// the screen's on Windows before 10 (1607), which knows only one; 96 when nothing answers.
int WindowDpi(HWND hwnd);

// The outer size of a window with this client area, its frame and caption drawn at `dpi`.
SIZE OuterSize(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi);

}  // namespace tolvane
