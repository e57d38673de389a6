#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/ProgramFolder.h"

namespace tolvane {

// The file a package puts beside the executable: the program is installed, not portable. Lines
// "key=value"; "Command=" names the command that starts it (a package's /usr/bin/tolvane) when
// that is not the executable's own path.
inline constexpr std::string_view kPackageMarkerName = "package.ini";

// What the environment says of the user's folders; empty when unset. Linux: $XDG_CONFIG_HOME,
// $XDG_DATA_HOME and $HOME. Windows: %APPDATA% (for both) and %USERPROFILE%.
struct UserEnvironment {
    std::string configHome;
    std::string dataHome;
    std::string home;
};

// Where the program's files are.
struct ProgramPlaces {
    // The executable's folder: the update library and the voices that come with the program
    // (Sound) are only ever taken from here.
    ProgramFolder program;
    // The folder of Value.ini; unknown when there is none (defaults, nothing saved).
    ProgramFolder settings;
    // The user's own voice packs, ending with a separator; empty for a portable program.
    std::string ownVoices;
    // What start at logon starts.
    ProgramFolder launcher;
    bool installed = false;
};

// A portable program (no marker: the zip, a build, a copy anywhere, writable or not) keeps
// Value.ini beside it, as ever. An installed one keeps each user's in the user's folder,
// %APPDATA%\Tolvane or $XDG_CONFIG_HOME/tolvane (else under %USERPROFILE% or $HOME, where the
// platform puts it by default; a relative value counts as unset), and the user's own packs in
// %APPDATA%\Tolvane\Sound or $XDG_DATA_HOME/tolvane/Sound. The platform is told by the folder's
// separator. `marker` is the marker file's text, nullopt without one.
ProgramPlaces LocatePlaces(const ProgramFolder& program, const std::optional<std::string>& marker,
                           const UserEnvironment& environment);

}  // namespace tolvane
