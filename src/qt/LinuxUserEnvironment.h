#pragma once

#include "base/ProgramPlaces.h"

namespace tolvane {

// Where this program's files are: the package marker beside `program` read, the user's
// folders taken from $XDG_CONFIG_HOME, $XDG_DATA_HOME and $HOME.
ProgramPlaces PlacesOf(const ProgramFolder& program);

}  // namespace tolvane
