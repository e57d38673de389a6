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
    void PreviewAnnouncement(std::int32_t phrasing, std::int32_t volume,
                             const std::string& pack) override {
        calls.push_back("Preview " + std::to_string(phrasing) + " " + std::to_string(volume) +
                        (pack.empty() ? "" : " " + pack));
    }
    std::vector<VoiceChoice> VoicePacks() override { return packs; }

    // The hotkey as the core holds it; `taken` is held by another program; `unavailable` is why
    // this desktop has none.
    std::string HotkeyText() override { return hotkey; }
    std::string HotkeyUnavailableReason() override { return unavailable; }
    std::string StoreHotkey(std::string_view text) override {
        if (text == hotkey) return "";
        calls.push_back("Hotkey=" + std::string(text));
        if (text == taken) return "该热键已被占用";
        hotkey = text;
        return "";
    }

    void RunTrayCommand(SettingsRole command) override {
        calls.push_back("Command " + std::to_string(static_cast<int>(command)));
    }

    std::vector<std::string> calls;
    std::string hotkey;
    std::string taken = "Ctrl+Alt+X";
    std::string unavailable;
    std::vector<VoiceChoice> packs;

private:
    void Set(const char* what, bool on) { calls.push_back(std::string(what) + (on ? "=1" : "=0")); }
};

}  // namespace tolvane::fakes
