#pragma once

#include <string>

#include "promo/DeferredTasks.h"

namespace tolvane {

// update.dll from the program folder, by its full path only: the ordinary search would also
// try the current folder and PATH, where anyone could plant a library that then runs inside
// this program. Loaded at the first call and kept for the rest of the run, since it checks in
// a thread of its own.
class Win32UpdateLibrary final : public UpdateLibrary {
public:
    explicit Win32UpdateLibrary(std::string programFolder);
    void DoUpdate(std::uint32_t window, const std::string& address) override;

private:
    std::string m_programFolder;  // UTF-8
};

}  // namespace tolvane
