#pragma once

#include <functional>
#include <map>
#include <string>

#include "settings/AdvancedDialog.h"
#include "win32/DialogWindow.h"

namespace tolvane {

// Form_高级设置: modal over the settings dialog, which stays greyed while it is open. Clicks,
// typing in the time fields and moves of the slider go to the page's logic, and the controls
// then show what it holds.
class Form_高级设置 final : public DialogWindow {
public:
    // `closing` runs as the page closes, before its window goes, so that the owner is enabled
    // again in time to take the focus back.
    Form_高级设置(AdvancedDialog& core, std::function<void()> closing);

    // Creates the window owned by `owner`, loads it from Settings and shows it; false when it
    // could not.
    bool Form_Load(HINSTANCE instance, HWND owner);

private:
    void Created(std::size_t row, HWND control) override;
    void OnClick(const ControlSpec& control) override;
    void OnCloseBox() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool ChoiceGreyed(const ControlSpec& control, int index) override {
        return m_core.ChoiceGreyed(control, index);
    }
    void Render();
    void CloseIfDone();
    // A key pressed in the hotkey field: true when it was recorded (or cleared the field).
    bool RecordKey(HWND field, UINT vk);
    static LRESULT CALLBACK HotkeyFieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR id, DWORD_PTR self);

    AdvancedDialog& m_core;
    std::function<void()> m_closing;
    bool m_rendering = false;
    // The character of a recorded key is not typed after it.
    bool m_swallowChar = false;
    // What each control's description says now, by table row.
    std::map<std::size_t, std::string> m_descriptions;
};

}  // namespace tolvane
