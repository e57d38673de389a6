// The real settings dialog, its 高级设置 page and the About box moved to monitors of other DPIs as
// Windows does it: asked for their size, then sent WM_DPICHANGED with a rectangle of that size.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "fakes/MemoryProfileStore.h"
#include "fakes/RecordingSettingsHost.h"
#include "win32/FormAbout.h"
#include "win32/FormAdvanced.h"
#include "win32/FormSettings.h"
#include "win32/TextConversion.h"

namespace tolvane::testing {
namespace {

// DPI, client width (5730 twips), heights (3510, 3090 and 3195 twips), rounded down to pixels.
const int kDpis[][5] = {{96, 382, 234, 206, 223},
                        {120, 477, 292, 257, 278},
                        {144, 573, 351, 309, 334},
                        {192, 764, 468, 412, 446}};

// The caption in the control's own font, with the mark of a box or an option beside it or a
// button's edge around it, lies within the control; labels wrap.
void ExpectCaptionFits(HWND control, int dpi) {
    wchar_t text[256] = {}, kind[16] = {};
    GetWindowTextW(control, text, 256);
    GetClassNameW(control, kind, 16);
    RECT box{};
    GetClientRect(control, &box);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    // A link is drawn by its dialog as bare text, like a label.
    const bool label = lstrcmpiW(kind, L"Static") == 0 ||
                       (lstrcmpiW(kind, L"Button") == 0 && (style & BS_TYPEMASK) == BS_OWNERDRAW);
    const bool edit = lstrcmpiW(kind, L"Edit") == 0;
    const LONG type = label || edit ? -1 : style & BS_TYPEMASK;
    const bool mark = type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON;
    RECT need{0, 0, label ? box.right : 0, 0};
    HDC dc = GetDC(control);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    DrawTextW(dc, text, -1, &need, DT_CALCRECT | (label ? DT_WORDBREAK | DT_NOPREFIX : 0));
    ReleaseDC(control, dc);
    SCOPED_TRACE(WideToUtf8(text) + " at " + std::to_string(dpi) + " DPI");
    EXPECT_LE(need.right + MulDiv(label ? 0 : mark ? 16 : edit ? 4 : 8, dpi, 96), box.right);
    EXPECT_LE(need.bottom + MulDiv(label || mark || edit || type == BS_GROUPBOX ? 0 : 4, dpi, 96),
              box.bottom);
    // Not the window alone grew: a line of the dialog font is 13 pixels high at 96 DPI.
    if (!label) {
        EXPECT_NEAR(need.bottom, 13.0 * dpi / 96, 1.5);
    }
}

TEST(DialogScaling, EveryCaptionFitsAndTheClientAreaFollowsTheDpi) {
    fakes::MemoryProfileStore profiles;
    自定义变量 vars(profiles);
    fakes::RecordingSettingsHost host;
    SettingsDialog core(vars, host);
    Form_一般设置 settings(core);
    AdvancedDialog pageCore(vars, host, [] {});
    Form_高级设置 page(pageCore, [] {});
    frmAbout about;
    ASSERT_TRUE(settings.Form_Load(GetModuleHandleW(nullptr)));
    ASSERT_TRUE(page.Form_Load(GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(about.Form_Load(GetModuleHandleW(nullptr), nullptr));
    for (const auto& [dpi, width, settingsHeight, aboutHeight, pageHeight] : kDpis) {
        for (HWND dialog : {settings.Handle(), page.Handle(), about.Handle()}) {
            SIZE size{};
            ASSERT_TRUE(SendMessageW(dialog, WM_GETDPISCALEDSIZE, dpi, LPARAM(&size)));
            RECT place{40, 30, 40 + size.cx, 30 + size.cy}, outer{}, client{};
            SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(&place));
            // Wine keeps the frame at 96 DPI, so only the corner of the suggestion is certain.
            GetWindowRect(dialog, &outer);
            GetClientRect(dialog, &client);
            const int height = dialog == settings.Handle() ? settingsHeight
                               : dialog == page.Handle()   ? pageHeight
                                                           : aboutHeight;
            EXPECT_EQ((std::vector<LONG>{outer.left, outer.top, client.right, client.bottom}),
                      (std::vector<LONG>{place.left, place.top, width, height}));
            for (HWND child = GetWindow(dialog, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                if (GetWindowTextLengthW(child) > 0) ExpectCaptionFits(child, dpi);
            }
        }
    }
}

}  // namespace
}  // namespace tolvane::testing
