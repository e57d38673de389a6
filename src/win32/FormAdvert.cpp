#include "win32/FormAdvert.h"

#include <exdispid.h>
#include <shellapi.h>

#include <string>

#include "win32/TextConversion.h"
#include "win32/WindowDpi.h"

namespace tolvane {
namespace {

constexpr wchar_t kWindowClass[] = L"TolvaneForm广告";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW;

SIZE OuterSizeAt(int dpi) {
    return OuterSize(TwipsToPixels(kAdvertClientWidthTwips, dpi),
                     TwipsToPixels(kAdvertClientHeightTwips, dpi), kStyle, kExStyle, dpi);
}

using AtlAxWinInitFn = BOOL(WINAPI*)();
using AtlAxGetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);

}  // namespace

// Receives the browser control's events and hands the two that matter to the window.
class BrowserEvents final : public IDispatch {
public:
    explicit BrowserEvents(Form_广告* owner) : m_owner(owner) {}
    void Detach() { m_owner = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
            IsEqualIID(riid, DIID_DWebBrowserEvents2)) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --m_references;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count != nullptr) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters,
                                     VARIANT*, EXCEPINFO*, UINT*) override {
        if (id == DISPID_NAVIGATEERROR && parameters != nullptr && parameters->cArgs == 5) {
            // NavigateError(browser, address, frame, status, cancel), last argument first.
            // Cancelled, the control shows no error page and reports no completed document,
            // so a page that cannot be loaded never slides up.
            VARIANT& cancel = parameters->rgvarg[0];
            if (cancel.vt == (VT_BYREF | VT_BOOL) && cancel.pboolVal != nullptr) {
                *cancel.pboolVal = VARIANT_TRUE;
            }
        }
        if (id == DISPID_DOCUMENTCOMPLETE && m_owner != nullptr) {
            // The slide lets messages run; a close among them releases this sink.
            AddRef();
            m_owner->OnDocumentComplete();
            Release();
        }
        return S_OK;
    }

private:
    ULONG m_references = 1;
    Form_广告* m_owner;
};

Form_广告::Form_广告(HINSTANCE instance, AdvertWindowCore& core)
    : m_core(core), m_instance(instance) {}

Form_广告::~Form_广告() {
    if (m_hwnd != nullptr) {
        // Torn down with the program, not closed by the user.
        m_core.SetOpenPageOnClose(false);
        DestroyWindow(m_hwnd);
    }
    ReleaseBrowser();
    if (m_atl != nullptr) FreeLibrary(m_atl);
}

bool Form_广告::Create() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Form_广告::WindowProc;
    windowClass.hInstance = m_instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);

    m_hwnd = CreateWindowExW(kExStyle, kWindowClass, Utf8ToWide(kAdvertCaption).c_str(), kStyle, 0,
                             0, 0, 0, nullptr, nullptr, m_instance, this);
    if (m_hwnd == nullptr) return false;
    // Without the control the window still loads: it then never completes and stays hidden.
    CreateBrowser();
    Scale(WindowDpi(m_hwnd), nullptr);
    return true;
}

void Form_广告::Scale(int dpi, const RECT* place) {
    const SIZE outer = OuterSizeAt(dpi);
    SetWindowPos(m_hwnd, nullptr, place ? place->left : 0, place ? place->top : 0, outer.cx,
                 outer.cy, SWP_NOZORDER | SWP_NOACTIVATE | (place ? 0 : SWP_NOMOVE));
    if (m_host != nullptr) {
        SetWindowPos(m_host, nullptr, TwipsToPixels(kAdvertBrowserLeftTwips, dpi), 0,
                     TwipsToPixels(kAdvertClientWidthTwips, dpi),
                     TwipsToPixels(kAdvertClientHeightTwips, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Form_广告::Close() {
    if (m_hwnd != nullptr) DestroyWindow(m_hwnd);
}

bool Form_广告::CreateBrowser() {
    // atl.dll from the system folder only, for the reason update.dll comes from ours only.
    wchar_t system[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    const std::wstring path = std::wstring(system, length) + L"\\atl.dll";
    m_atl = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (m_atl == nullptr) return false;
    auto init = reinterpret_cast<AtlAxWinInitFn>(
        reinterpret_cast<void*>(GetProcAddress(m_atl, "AtlAxWinInit")));
    auto getControl = reinterpret_cast<AtlAxGetControlFn>(
        reinterpret_cast<void*>(GetProcAddress(m_atl, "AtlAxGetControl")));
    if (init == nullptr || getControl == nullptr || !init()) return false;

    m_host = CreateWindowExW(0, L"AtlAxWin", L"Shell.Explorer.2", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                             m_hwnd, nullptr, m_instance, nullptr);
    if (m_host == nullptr) return false;
    IUnknown* control = nullptr;
    if (FAILED(getControl(m_host, &control)) || control == nullptr) return false;
    const HRESULT found =
        control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&m_browser));
    control->Release();
    if (FAILED(found)) {
        m_browser = nullptr;
        return false;
    }

    IConnectionPointContainer* container = nullptr;
    if (SUCCEEDED(m_browser->QueryInterface(IID_IConnectionPointContainer,
                                            reinterpret_cast<void**>(&container)))) {
        if (SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &m_events))) {
            m_sink = new BrowserEvents(this);
            if (FAILED(m_events->Advise(m_sink, &m_cookie))) m_cookie = 0;
        }
        container->Release();
    }
    return true;
}

void Form_广告::ReleaseBrowser() {
    if (m_sink != nullptr) m_sink->Detach();
    if (m_events != nullptr) {
        if (m_cookie != 0) m_events->Unadvise(m_cookie);
        m_events->Release();
        m_events = nullptr;
    }
    if (m_sink != nullptr) {
        m_sink->Release();
        m_sink = nullptr;
    }
    if (m_browser != nullptr) {
        m_browser->Release();
        m_browser = nullptr;
    }
}

LRESULT CALLBACK Form_广告::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Form_广告*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr && message == WM_GETDPISCALEDSIZE) {
        *reinterpret_cast<SIZE*>(lParam) = OuterSizeAt(LOWORD(wParam));
        return TRUE;
    }
    if (self != nullptr && message == WM_DPICHANGED) {
        self->Scale(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    }
    if (self != nullptr && message == WM_DESTROY) {
        // The unload handler: every way of closing passes here.
        self->m_core.Form_Unload();
        self->ReleaseBrowser();
        self->m_hwnd = nullptr;
        self->m_host = nullptr;
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Form_广告::Navigate(std::string_view address) {
    if (m_browser == nullptr) return;
    BSTR url = SysAllocString(Utf8ToWide(address).c_str());
    VARIANT empty;
    VariantInit(&empty);
    m_browser->Navigate(url, &empty, &empty, &empty, &empty);
    SysFreeString(url);
}

void Form_广告::Hide() {
    ShowWindow(m_hwnd, SW_HIDE);
}

void Form_广告::Show() {
    ShowWindow(m_hwnd, SW_SHOW);
}

AdvertGeometry Form_广告::Measure() {
    RECT outer{};
    GetWindowRect(m_hwnd, &outer);
    RECT work{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) work = {};
    return {
        GetSystemMetrics(SM_CXSCREEN),
        GetSystemMetrics(SM_CYSCREEN),
        int(outer.right - outer.left),
        int(outer.bottom - outer.top),
        WindowDpi(m_hwnd),
        {int(work.left), int(work.top), int(work.right - work.left), int(work.bottom - work.top)}};
}

std::int32_t Form_广告::MeasureTaskbarHeight() {
    RECT taskbar{};
    HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
    if (tray != nullptr) GetWindowRect(tray, &taskbar);
    return taskbar.bottom - taskbar.top;
}

void Form_广告::MoveTo(int left, int top) {
    SetWindowPos(m_hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form_广告::SlideTo(int left, int top) {
    MoveTo(left, top);
}

void Form_广告::OpenInBrowser(std::string_view address) {
    ShellExecuteA(nullptr, nullptr, Utf8ToAnsi(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace tolvane
