#include "win32/DialogMessages.h"

#include <cwchar>

namespace tolvane {
namespace {

bool IsDialogWindowMessage(MSG& msg) {
    if (msg.hwnd == nullptr) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (root == nullptr) return false;
    wchar_t name[32] = {};
    GetClassNameW(root, name, ARRAYSIZE(name));
    if (std::wcscmp(name, kDialogWindowClass) != 0) return false;
    return IsDialogMessageW(root, &msg) != FALSE;
}

}  // namespace

void DispatchProgramMessage(MSG& msg) {
    if (IsDialogWindowMessage(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

}  // namespace tolvane
