#pragma once

#include <string>

#include "base/ProgramFolder.h"
#include "promo/DeferredTasks.h"

namespace tolvane {

// update.dll from the program folder, by its full path only: the ordinary search would also
// try the current folder and PATH, where anyone could plant a library that then runs inside
// this program. Loaded at the first call and kept for the rest of the run, since it checks in
// a thread of its own.
class Win32UpdateLibrary final : public UpdateLibrary {
public:
    explicit Win32UpdateLibrary(const ProgramFolder& folder);
    void DoUpdate(std::uint32_t window, const std::string& address) override;

private:
    std::wstring m_path;  // empty when the folder is unknown
};

}  // namespace tolvane
