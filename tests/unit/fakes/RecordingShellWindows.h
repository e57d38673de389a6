#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/ShellWindows.h"
#include "fakes/RecordingAdvert.h"

namespace tolvane::fakes {

inline std::string NameOf(MainTimer timer) {
    const char* names[] = {"Timer_更新托盘显示时间", "Timer_自动报时", "Timer_自动升级",
                           "Timer_自动校时", "Timer_试听"};
    return names[static_cast<int>(timer)];
}

// The main window's shell as a log of what the core asked of it. Closing a window reports
// back to the core as the real windows do; the About box's modal loop runs `duringAbout`.
class RecordingShellWindows final : public ShellWindows {
public:
    void SetTimer(MainTimer timer, int intervalMs) override {
        Do("SetTimer " + NameOf(timer) + " " + std::to_string(intervalMs));
    }
    void KillTimer(MainTimer timer) override { Do("KillTimer " + NameOf(timer)); }
    void ShowTrayIcon() override { Do("ShowTrayIcon"); }
    // Only the tooltip's time, or the lines after it (announcements off, synchronisation).
    void SetTrayTooltip(const std::string& text) override {
        std::size_t at = 0;
        for (int line = 0; line < 3; ++line) at = text.find('\n', at) + 1;
        const std::size_t after = text.find("\r\n", at);
        std::string shown = after == std::string::npos ? text.substr(at) : text.substr(after + 2);
        for (std::size_t cr; (cr = shown.find("\r\n")) != std::string::npos;)
            shown.replace(cr, 2, " / ");
        Do("SetTrayTooltip " + shown);
    }
    void SetMenuChecks(bool announceOff, bool startAtBoot) override {
        Do(std::string("SetMenuChecks ") + (announceOff ? "1" : "0") + (startAtBoot ? "1" : "0"));
    }
    void EnableResume(bool enabled) override { Do(enabled ? "EnableResume" : "DisableResume"); }
    void PopupTrayMenu() override { Do("PopupTrayMenu"); }
    void SetCurrentFolder(const std::string& path) override { Do("SetCurrentFolder " + path); }
    void HideMain() override { Do("HideMain"); }
    std::uint32_t MainWindowHandle() override { return 0x1234; }

    bool ShowSettings(SettingsDialog& dialog, bool enabled) override {
        Do(enabled ? "ShowSettings" : "ShowSettings disabled");
        if (settingsFail) return false;
        settings = &dialog;
        dialog.Form_Load();
        return true;
    }
    void BringSettingsForward() override { Do("BringSettingsForward"); }
    void RefreshSettings() override {
        Do("RefreshSettings boot" + std::to_string(settings->Ticked(SettingsRole::StartAtBoot)));
    }
    void EnableSettings(bool enabled) override {
        Do(enabled ? "EnableSettings" : "DisableSettings");
    }
    void CloseSettings() override { Do("CloseSettings"); }

    void RunAbout() override {
        Do("RunAbout");
        if (duringAbout) duringAbout();
        Do("AboutClosed");
    }
    void BringAboutForward() override { Do("BringAboutForward"); }
    void CloseAbout() override { Do("CloseAbout"); }

    AdvertView* CreateAdvert(AdvertWindowCore& core) override {
        Do("CreateAdvert");
        advertCore = &core;
        return &advert;
    }
    void CloseAdvert() override {
        Do("CloseAdvert");
        advert.open = false;
        advertCore->Form_Unload();
    }

    void UnloadMain() override { Do("UnloadMain"); }

    void SetTrayIconMuted(bool muted) override {
        Do(muted ? "SetTrayIconMuted 1" : "SetTrayIconMuted 0");
    }
    void ShowTrayNotice(const TrayNotice& notice) override {
        Do((notice.kind == NoticeKind::Info ? "Notice " : "Warning ") + notice.title + ": " +
           notice.text);
    }
    HotkeyRegistration RegisterHotkey(const Hotkey& hotkey) override {
        Do("RegisterHotkey " + FormatHotkey(hotkey));
        if (!unavailableReason.empty()) return HotkeyRegistration::Unavailable;
        return FormatHotkey(hotkey) == kTaken ? HotkeyRegistration::Taken
                                              : HotkeyRegistration::Registered;
    }
    void UnregisterHotkey() override { Do("UnregisterHotkey"); }
    std::string HotkeyUnavailableReason() override { return unavailableReason; }
    bool IsHotkeyDown() override { return hotkeyDown; }

    void Do(std::string action) { log.push_back(std::move(action)); }

    static constexpr char kTaken[] = "Ctrl+Alt+X";  // another program holds it
    std::vector<std::string> log;
    RecordingAdvertView advert;
    AdvertWindowCore* advertCore = nullptr;
    SettingsDialog* settings = nullptr;
    std::function<void()> duringAbout;
    bool settingsFail = false;
    std::string unavailableReason;
    bool hotkeyDown = false;
};

}  // namespace tolvane::fakes
