#pragma once

#include "win32/DialogWindow.h"

namespace tolvane {

// frmAbout: icon, title, version, description and the link to the maker's page. The caller
// runs the modal loop until IsOpen() turns false.
class frmAbout final : public DialogWindow {
public:
    frmAbout();
    ~frmAbout() override;

    // Creates and shows the box, owned by `owner` so that it has no taskbar button.
    bool Form_Load(HINSTANCE instance, HWND owner);

private:
    std::string TextOf(const ControlSpec& control) override;
    void Created(std::size_t row, HWND control) override;
    void Scaled() override;
    void OnClick(const ControlSpec& control) override;
    void OnCloseBox() override;

    HINSTANCE m_instance = nullptr;
    HWND m_icon = nullptr;
    HWND m_title = nullptr;
    HWND m_link = nullptr;
    HFONT m_linkFont = nullptr;
    HFONT m_titleFont = nullptr;
    HICON m_iconImage = nullptr;
};

}  // namespace tolvane
