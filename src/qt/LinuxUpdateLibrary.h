#pragma once

#include <string>

#include "base/ProgramFolder.h"
#include "promo/DeferredTasks.h"
#include "qt/PosixFile.h"

namespace tolvane {

// libupdate.so from the program folder, by its absolute path only: a bare name would be
// looked up through LD_LIBRARY_PATH and the system's folders, where anyone could plant a
// library that then runs inside this program. Loaded at the first call and kept for the rest
// of the run, since it checks in a thread of its own.
class LinuxUpdateLibrary final : public UpdateLibrary {
public:
    explicit LinuxUpdateLibrary(const ProgramFolder& folder);
    void DoUpdate(std::uint32_t window, const std::string& address) override;

    // The library opened for loading when this user can trust it: a regular file, not a link,
    // owned by the user or root, that nobody else may write. Anything else is not opened (and
    // a FIFO is not waited for), and the update call is skipped as for a missing library.
    static FileDescriptor OpenTrusted(const std::string& path);

private:
    std::string m_path;  // empty when the folder is unknown
};

}  // namespace tolvane
