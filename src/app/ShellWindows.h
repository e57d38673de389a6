#pragma once

namespace tolvane {

// The program's windows as the exit command sees them. Windows that do not exist yet answer
// that they are not open.
class ShellWindows {
public:
    virtual ~ShellWindows() = default;
    virtual bool IsSettingsOpen() = 0;
    virtual void CloseSettings() = 0;  // unapplied changes are dropped
    virtual void SetAdvertOpenPageOnClose(bool open) = 0;
    virtual bool IsAdvertOpen() = 0;
    virtual void CloseAdvert() = 0;
    virtual bool IsAboutOpen() = 0;
    virtual void CloseAbout() = 0;
    // Removes the tray icon, stops the timers and ends the message loop.
    virtual void UnloadMain() = 0;
};

}  // namespace tolvane
