#pragma once

#include <windows.h>

namespace tolvane {

// The window class of the program's dialogs (settings and About).
inline constexpr wchar_t kDialogWindowClass[] = L"TolvaneDialog";

// Gives a message to the dialog it belongs to, for Tab, arrows, Enter, Esc and access keys;
// true when the dialog took it. Every message loop of the program asks this first, the one
// that runs between the clips of an announcement too.
bool IsDialogWindowMessage(MSG& msg);

}  // namespace tolvane
