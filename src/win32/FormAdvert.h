#pragma once

#include <windows.h>

#include <exdisp.h>
#include <ocidl.h>

#include "promo/AdvertWindowCore.h"

namespace tolvane {

class BrowserEvents;

// The advert window: "为您推荐", a fixed dialog frame without a taskbar button, hosting the
// system's web browser control. Its events go to the advert's logic, `core`. The object
// outlives its window, so a slide interrupted by a close finds it still there and sees that the
// window is gone.
class Form_广告 final : public AdvertView {
public:
    Form_广告(HINSTANCE instance, AdvertWindowCore& core);
    ~Form_广告() override;
    Form_广告(const Form_广告&) = delete;
    Form_广告& operator=(const Form_广告&) = delete;

    // Creates the window, hidden; false when it could not be made.
    bool Create();
    // Closes the window; the unload handler decides about the second page.
    void Close();
    bool IsOpen() override { return m_hwnd != nullptr; }

    void OnDocumentComplete() { m_core.DocumentComplete(); }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool CreateBrowser();
    // Sizes the window and its browser for `dpi`, moved to `place` when given.
    void Scale(int dpi, const RECT* place);
    void ReleaseBrowser();

    void Navigate(std::string_view address) override;
    void Hide() override;
    void Show() override;
    AdvertGeometry Measure() override;
    std::int32_t MeasureTaskbarHeight() override;
    void MoveTo(int left, int top) override;
    void SlideTo(int left, int top) override;
    void OpenInBrowser(std::string_view address) override;

    AdvertWindowCore& m_core;
    HINSTANCE m_instance;
    HWND m_hwnd = nullptr;
    HWND m_host = nullptr;
    HMODULE m_atl = nullptr;
    IWebBrowser2* m_browser = nullptr;
    IConnectionPoint* m_events = nullptr;
    BrowserEvents* m_sink = nullptr;
    DWORD m_cookie = 0;
};

}  // namespace tolvane
