#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/ShellWindows.h"

namespace tolvane::fakes {

// Windows that may or may not be open; records every closing step in order.
class RecordingShellWindows final : public ShellWindows {
public:
    bool IsSettingsOpen() override { return settingsOpen; }
    void CloseSettings() override { Do("CloseSettings"); }
    void SetAdvertOpenPageOnClose(bool open) override {
        Do(open ? "SetAdvertOpenPageOnClose(true)" : "SetAdvertOpenPageOnClose(false)");
    }
    bool IsAdvertOpen() override { return advertOpen; }
    void CloseAdvert() override { Do("CloseAdvert"); }
    bool IsAboutOpen() override { return aboutOpen; }
    void CloseAbout() override { Do("CloseAbout"); }
    void UnloadMain() override {
        Do("UnloadMain");
        if (onUnload) onUnload();
    }

    std::vector<std::string> Closings() const { return m_actions; }

    bool settingsOpen = false;
    bool advertOpen = false;
    bool aboutOpen = false;
    std::function<void()> onUnload;

private:
    void Do(const std::string& action) { m_actions.push_back(action); }
    std::vector<std::string> m_actions;
};

}  // namespace tolvane::fakes
