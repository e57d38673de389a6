#pragma once

namespace tolvane {

// The program's windows as the exit command sees them. A window the program does not have yet
// answers that it is not open.
class ShellWindows {
public:
    virtual ~ShellWindows() = default;
    virtual bool IsSettingsOpen() { return false; }
    virtual void CloseSettings() {}  // unapplied changes are dropped
    virtual void SetAdvertOpenPageOnClose(bool) {}
    virtual bool IsAdvertOpen() { return false; }
    virtual void CloseAdvert() {}
    virtual bool IsAboutOpen() { return false; }
    virtual void CloseAbout() {}
    // Removes the tray icon, stops the timers and ends the message loop.
    virtual void UnloadMain() = 0;
};

}  // namespace tolvane
