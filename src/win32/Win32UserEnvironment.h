#pragma once

#include "base/ProgramPlaces.h"

namespace tolvane {

// Where this program's files are: the package marker beside `program` read, the user's
// folders taken from %APPDATA% and %USERPROFILE%.
ProgramPlaces PlacesOf(const ProgramFolder& program);

}  // namespace tolvane
