#pragma once

#include <string>
#include <vector>

#include "settings/SettingsDialog.h"

namespace tolvane::fakes {

// Records what the settings dialog asks of the main window, in order.
class RecordingSettingsHost final : public SettingsDialogHost {
public:
    void RegisterStartAtBoot() override { calls.push_back("Register"); }
    void UnregisterStartAtBoot() override { calls.push_back("Unregister"); }
    void SetStartAtBootMark(bool checked) override { Set("BootMark", checked); }
    void SetAnnounceOffMark(bool checked) override { Set("OffMark", checked); }
    void SetAnnounceTimerEnabled(bool enabled) override { Set("AnnounceTimer", enabled); }
    void SetSyncTimerEnabled(bool enabled) override { Set("SyncTimer", enabled); }
    void PreviewAnnouncement(std::int32_t phrasing, std::int32_t volume) override {
        calls.push_back("Preview " + std::to_string(phrasing) + " " + std::to_string(volume));
    }

    std::vector<std::string> calls;

private:
    void Set(const char* what, bool on) { calls.push_back(std::string(what) + (on ? "=1" : "=0")); }
};

}  // namespace tolvane::fakes
