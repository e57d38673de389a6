// The Linux logon entry: any file text reads without harm, and any program path written into
// an entry reads back as exactly the command that was written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "qt/LinuxAutostartStore.h"

using tolvane::LinuxAutostartStore;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    LinuxAutostartStore::CommandOfEntry(text);

    const std::string command = "\"" + std::string(text) + "\"";
    const auto entry = LinuxAutostartStore::EntryText(command);
    if (entry && LinuxAutostartStore::CommandOfEntry(*entry) != command) std::abort();
    return 0;
}
