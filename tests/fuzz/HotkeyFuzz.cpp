// The hotkey in Value.ini: whatever the file holds, a hotkey that is read writes back in a form
// that reads as the same hotkey, and every written form is one the reader accepts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/Hotkey.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto hotkey =
        tolvane::ParseHotkey(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!hotkey) return 0;
    if (tolvane::ParseHotkey(tolvane::FormatHotkey(*hotkey)) != hotkey) std::abort();
    return 0;
}
