// update.dll: Tolvane's update check. DoUpdate returns at once; a thread of its own fetches the
// description over HTTP (WinHTTP, 10 s timeouts, at most 64 KiB) and, when it names a higher
// version than this one, asks the user once whether to open the download page. Nothing is
// downloaded or installed here, and a failure of any kind shows nothing.
#include <windows.h>

#include <shellapi.h>
#include <winhttp.h>

#include <atomic>
#include <cstdint>
#include <new>
#include <string>

#include "about/Version.h"
#include "promo/UpdateCheck.h"

namespace {

std::atomic<bool> g_started{false};

struct Request {
    HWND owner;
    std::wstring address;
};

std::wstring ToWide(UINT codePage, const std::string& text) {
    if (text.empty()) return {};
    const int length =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

class Handle {
public:
    explicit Handle(HINTERNET handle) : m_handle(handle) {}
    ~Handle() {
        if (m_handle != nullptr) WinHttpCloseHandle(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HINTERNET get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    HINTERNET m_handle;
};

// The body of a 200 reply, or false for anything else (including a body over the limit).
bool Fetch(const std::wstring& address, std::string& body) {
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(address.c_str(), 0, 0, &parts)) return false;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
        return false;
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) path = L"/";

    const std::wstring agent = L"Tolvane-Update/" TOLVANE_VERSION_TEXT;
    Handle session(WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                               WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return false;
    const int timeout = tolvane::kUpdateTimeoutMs;
    WinHttpSetTimeouts(session.get(), timeout, timeout, timeout, timeout);
    Handle connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection) return false;
    const DWORD flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
    Handle request(WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr,
                                      WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
    if (!request) return false;
    if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                            WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !WinHttpReceiveResponse(request.get(), nullptr)) {
        return false;
    }
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size,
                             WINHTTP_NO_HEADER_INDEX) ||
        status != 200) {
        return false;
    }
    char buffer[4096];
    for (;;) {
        DWORD read = 0;
        if (!WinHttpReadData(request.get(), buffer, sizeof buffer, &read)) return false;
        if (read == 0) return true;
        if (body.size() + read > tolvane::kMaxUpdateDescriptionBytes) return false;
        body.append(buffer, read);
    }
}

DWORD WINAPI Check(void* parameter) {
    const Request* request = static_cast<Request*>(parameter);
    std::string description;
    if (Fetch(request->address, description)) {
        const auto offer = tolvane::UpdateOfferFor(description, TOLVANE_VERSION_TEXT);
        if (offer) {
            const std::wstring text =
                ToWide(CP_UTF8, tolvane::UpdateOfferText(*offer, TOLVANE_VERSION_TEXT));
            const std::wstring caption = ToWide(CP_UTF8, std::string(tolvane::kUpdateOfferCaption));
            if (MessageBoxW(request->owner, text.c_str(), caption.c_str(),
                            MB_YESNO | MB_ICONINFORMATION) == IDYES) {
                ShellExecuteW(nullptr, L"open", ToWide(CP_UTF8, offer->downloadAddress).c_str(),
                              nullptr, nullptr, SW_SHOWNORMAL);
            }
        }
    }
    delete request;
    return 0;
}

}  // namespace

// The window handle arrives as 32 bits; handles are sign-extended back to pointer size. The
// address is in the ANSI code page and valid only during the call.
extern "C" __declspec(dllexport) void WINAPI DoUpdate(std::uint32_t window, const char* address) {
    if (address == nullptr || g_started.exchange(true)) return;
    auto* request = new (std::nothrow)
        Request{reinterpret_cast<HWND>(static_cast<INT_PTR>(static_cast<std::int32_t>(window))),
                ToWide(CP_ACP, address)};
    if (request == nullptr) return;
    HANDLE thread = CreateThread(nullptr, 0, &Check, request, 0, nullptr);
    if (thread == nullptr) {
        delete request;
        return;
    }
    CloseHandle(thread);
}
