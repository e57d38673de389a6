#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "autostart/AutostartStore.h"
#include "base/ProgramFolder.h"

namespace tolvane {

inline constexpr std::uint32_t kHkeyCurrentUser = 0x80000001;
inline constexpr std::string_view kRunKeyPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::string_view kRunValueName = "Kestrune";

// Registry value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegDwordBigEndian = 5;
inline constexpr std::uint32_t kRegLink = 6;
inline constexpr std::uint32_t kRegMultiSz = 7;

// The quoted command that starts this program. On Windows ('\\' folders): the folder as
// reported, "\", the file name without its extension and ".exe" in lower case, so a program in
// a drive's root gets two backslashes. Elsewhere: the full path of the executable.
std::string StartAtBootCommand(const ProgramFolder& folder);

// Registered exactly when the stored text is non-empty and equals `command`, letter case
// included.
bool IsStartAtBootRegistered(AutostartStore& store, const std::string& command);
// Writes the value unless it already holds exactly `command`.
void RegisterStartAtBoot(AutostartStore& store, const std::string& command);
void UnregisterStartAtBoot(AutostartStore& store);

}  // namespace tolvane
