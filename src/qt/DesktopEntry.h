#pragma once

#include <optional>
#include <string>
#include <string_view>

// The XDG autostart entry that starts the program at logon: a desktop entry whose Exec holds
// one quoted path and nothing else.
namespace tolvane::desktop_entry {

// The whole file for a command of the form "<path>"; nullopt for any other text.
std::optional<std::string> EntryText(std::string_view command);

// The command an entry starts: its Exec value with the desktop-entry escapes undone, or empty
// when it has none or is switched off (Hidden=true or X-GNOME-Autostart-enabled=false).
std::string CommandOfEntry(std::string_view entryText);

}  // namespace tolvane::desktop_entry
