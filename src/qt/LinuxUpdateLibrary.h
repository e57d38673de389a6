#pragma once

#include <string>

#include "base/ProgramFolder.h"
#include "promo/DeferredTasks.h"

namespace tolvane {

// libupdate.so from the program folder, by its absolute path only: a bare name would be
// looked up through LD_LIBRARY_PATH and the system's folders, where anyone could plant a
// library that then runs inside this program. Loaded at the first call and kept for the rest
// of the run, since it checks in a thread of its own.
class LinuxUpdateLibrary final : public UpdateLibrary {
public:
    explicit LinuxUpdateLibrary(const ProgramFolder& folder);
    void DoUpdate(std::uint32_t window, const std::string& address) override;

private:
    std::string m_path;  // empty when the folder is unknown
};

}  // namespace tolvane
