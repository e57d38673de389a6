#include "win32/Win32MessagePump.h"

#include <windows.h>

#include "win32/DialogMessages.h"

namespace tolvane {

void Win32MessagePump::DispatchPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave it for the main loop, which ends the program.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        DispatchProgramMessage(msg);
    }
}

}  // namespace tolvane
