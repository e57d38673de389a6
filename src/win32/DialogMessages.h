#pragma once

#include <windows.h>

namespace tolvane {

// The window class of the program's dialogs (settings and About).
inline constexpr wchar_t kDialogWindowClass[] = L"TolvaneDialog";

// Handles one message taken from the queue: first offered to the dialog it belongs to, for Tab,
// arrows, Enter, Esc and access keys, else translated and dispatched. Every message loop of the
// program goes through here, the one that runs between the clips of an announcement too.
void DispatchProgramMessage(MSG& msg);

}  // namespace tolvane
