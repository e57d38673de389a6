#include "win32/VirtualKeys.h"

#include "app/Hotkey.h"

namespace tolvane {
namespace {

struct NamedKey {
    const char* name;
    UINT vk;
};

constexpr NamedKey kNamedKeys[] = {
    {"Space", VK_SPACE},   {"Insert", VK_INSERT}, {"Delete", VK_DELETE},
    {"Home", VK_HOME},     {"End", VK_END},       {"PageUp", VK_PRIOR},
    {"PageDown", VK_NEXT}, {"Pause", VK_PAUSE},   {"Backspace", VK_BACK}};

}  // namespace

UINT VirtualKeyOf(const std::string& key) {
    if (key.size() == 1) return static_cast<unsigned char>(key[0]);  // A-Z, 0-9
    if (const int f = FunctionKeyNumber(key); f != 0) return VK_F1 + f - 1;
    for (const NamedKey& entry : kNamedKeys) {
        if (key == entry.name && entry.vk != VK_BACK) return entry.vk;
    }
    return 0;
}

std::string KeyNameOf(UINT vk) {
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::string(1, char(vk));
    if (vk >= VK_F1 && vk <= VK_F24) return "F" + std::to_string(vk - VK_F1 + 1);
    for (const NamedKey& entry : kNamedKeys) {
        if (vk == entry.vk) return entry.name;
    }
    return "";
}

}  // namespace tolvane
