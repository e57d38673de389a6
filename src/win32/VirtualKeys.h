#pragma once

#include <windows.h>

#include <string>

namespace tolvane {

// The virtual-key code of a key named as the core names hotkey keys; 0 for none.
UINT VirtualKeyOf(const std::string& key);

// The core's name of a virtual key ("Backspace" too, which clears the hotkey field); "" for a
// key with no name there.
std::string KeyNameOf(UINT vk);

}  // namespace tolvane
