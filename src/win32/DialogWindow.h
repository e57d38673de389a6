#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/DialogLayout.h"

namespace tolvane {

// A dialog window built by walking a layout table: one child per control (frames do not
// hold their controls here, so each is placed at its frame's offset), created in tab order so
// that the dialog manager's Tab and arrow keys follow it, each frame just before its members and
// each label just before its field so that screen readers find them, tooltips, links the
// keyboard reaches, and a fixed frame with a close box only. The window class falls back to
// DefDlgProcW, so Enter presses the default button and Esc the cancel one. The table's twips and
// the dialog font, Tahoma 8.25 pt, are turned into pixels at the DPI of the monitor showing the
// window, and again whenever the window moves to a monitor of another DPI.
class DialogWindow {
public:
    virtual ~DialogWindow();
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    bool IsOpen() const { return m_hwnd != nullptr; }
    HWND Handle() const { return m_hwnd; }
    void BringForward();
    // Destroys the window; nothing is asked of the dialog's logic.
    void Destroy();

protected:
    explicit DialogWindow(const DialogSpec& spec) : m_spec(spec) {}

    // Creates the window and its controls, centred and hidden; false when it could not.
    bool Build(HINSTANCE instance, HWND owner, const std::string& caption);
    // Shows the window with the focus on the first control of the tab order.
    void Show();

    const DialogSpec& Spec() const { return m_spec; }
    // The window of table row `row`, nullptr for a control left out.
    HWND Control(std::size_t row) const { return m_controls[row]; }
    // The table row of one of the controls, nullptr for any other window.
    const ControlSpec* ControlOf(HWND hwnd) const;
    // Shows an option button or check box checked or not, and an option button as a tab stop
    // or not; other controls stay as they are.
    void ShowChecked(std::size_t row, bool checked, bool tabStop);
    // Enables or greys a control; one greyed under the focus first passes it on.
    void EnableControl(std::size_t row, bool enabled);
    // Gives a control a description screen readers say with its name ("" for none), and tells
    // them it changed.
    void Describe(std::size_t row, const std::string& why);
    // Replaces the tooltip of a control that has one in the table.
    void SetTooltip(std::size_t row, const std::string& text);
    // The DPI the window is laid out at.
    int Dpi() const { return m_dpi; }
    // The dialogs' Tahoma 8.25 pt at this DPI, in this weight; the caller deletes it.
    static HFONT DialogFont(int dpi, int weight);

    // The text a control shows; by default its caption.
    virtual std::string TextOf(const ControlSpec& control) { return std::string(control.caption); }
    // After a control was created (colours, subclassing).
    virtual void Created(std::size_t /*row*/, HWND /*control*/) {}
    // After every control took its place and the dialog font at Dpi(): as the window is built
    // and at every change of DPI. Fonts and pictures of a form's own belong here.
    virtual void Scaled() {}
    // A click on a button, option button or check box (mouse, Space, arrows or access key).
    virtual void OnClick(const ControlSpec& control) = 0;
    // The close box of the title bar.
    virtual void OnCloseBox() = 0;
    // Whether a drop-down's choice is drawn greyed (it is drawn by the dialog).
    virtual bool ChoiceGreyed(const ControlSpec& /*control*/, int /*index*/) { return false; }
    // Other messages; return true when handled, with the result in `result`.
    virtual bool OnMessage(UINT /*message*/, WPARAM, LPARAM, LRESULT& /*result*/) { return false; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(UINT id);
    void DrawLink(const DRAWITEMSTRUCT& item);
    static LRESULT CALLBACK LinkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR data);
    // Lays the window out at `dpi`: into `place` when given, else centred on the work area.
    void Layout(int dpi, const RECT* place);
    SIZE OuterSizeAt(int dpi) const;
    int ChoiceHeight() const;
    void DrawChoice(const DRAWITEMSTRUCT& item);

    const DialogSpec& m_spec;
    HWND m_hwnd = nullptr;
    HWND m_tooltip = nullptr;
    HFONT m_font = nullptr;
    int m_dpi = kDefaultDpi;
    std::vector<HWND> m_controls;
    std::vector<std::wstring> m_tooltipTexts;
    std::vector<std::wstring> m_tooltipsShown;  // by row, as last set
};

}  // namespace tolvane
