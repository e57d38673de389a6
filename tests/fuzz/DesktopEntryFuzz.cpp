// The Linux logon entry: any file text reads without harm, and any program path written into
// an entry reads back as exactly the command that was written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "qt/DesktopEntry.h"

namespace desktop_entry = tolvane::desktop_entry;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    desktop_entry::CommandOfEntry(text);

    const std::string command = "\"" + std::string(text) + "\"";
    const auto entry = desktop_entry::EntryText(command);
    if (entry && desktop_entry::CommandOfEntry(*entry) != command) std::abort();
    return 0;
}
