// update.dll: Tolvane's update check. DoUpdate returns at once; a thread of its own fetches the
// description with WinHTTP (https only, the certificate checked by the system, no redirects,
// 10 s for the whole exchange, at most 64 KiB) and, when it offers a higher version on the
// description's own host that the user has not declined before, asks the user whether to open
// the download page. Nothing is
// downloaded or installed here, and a failure of any kind shows nothing.
#include <windows.h>

#include <shellapi.h>
#include <winhttp.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <new>
#include <string>

#include "about/Version.h"
#include "promo/UpdateCheck.h"
#include "win32/TextConversion.h"
#include "win32/Win32UserEnvironment.h"

namespace {

std::atomic<bool> g_started{false};

struct Request {
    HWND owner;
    std::string address;
    std::wstring statePath;  // empty when the program's folder is unknown
};

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

// One exchange, run by WinHTTP's callbacks on its own thread. Synchronous calls would each have
// their own timeout, and a server sending a byte at a time would hold them for ever; here the
// checking thread waits for the whole exchange until the deadline and then closes the request.
struct Transfer {
    HANDLE settled = CreateEventW(nullptr, TRUE, FALSE, nullptr);  // the reply is read, or failed
    HANDLE closed = CreateEventW(nullptr, TRUE, FALSE, nullptr);   // no callback comes any more
    bool ok = false;
    std::string body;
    char buffer[4096];

    ~Transfer() {
        if (settled != nullptr) CloseHandle(settled);
        if (closed != nullptr) CloseHandle(closed);
    }
};

void Settle(Transfer& transfer, bool ok) {
    transfer.ok = ok;
    SetEvent(transfer.settled);
}

// Asks what has arrived and then reads just that: a read of a whole buffer could wait for the
// rest of a slow reply, and the connection would outlive the deadline by as long.
void AskForMore(HINTERNET request, Transfer& transfer) {
    if (!WinHttpQueryDataAvailable(request, nullptr)) Settle(transfer, false);
}

void CALLBACK OnStatus(HINTERNET request, DWORD_PTR context, DWORD status, void* info,
                       DWORD length) {
    Transfer& transfer = *reinterpret_cast<Transfer*>(context);
    switch (status) {
        case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
            if (!WinHttpReceiveResponse(request, nullptr)) Settle(transfer, false);
            break;
        case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE: {
            DWORD code = 0;
            DWORD size = sizeof code;
            if (WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                    WINHTTP_HEADER_NAME_BY_INDEX, &code, &size,
                                    WINHTTP_NO_HEADER_INDEX) &&
                code == 200) {
                AskForMore(request, transfer);
            } else {
                Settle(transfer, false);
            }
            break;
        }
        case WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE: {
            const DWORD available = *static_cast<DWORD*>(info);
            if (available == 0) {
                Settle(transfer, true);
            } else if (transfer.body.size() + available > tolvane::kMaxUpdateDescriptionBytes ||
                       !WinHttpReadData(request, transfer.buffer,
                                        std::min<DWORD>(available, sizeof transfer.buffer),
                                        nullptr)) {
                Settle(transfer, false);
            }
            break;
        }
        case WINHTTP_CALLBACK_STATUS_READ_COMPLETE:
            transfer.body.append(transfer.buffer, length);
            AskForMore(request, transfer);
            break;
        case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR:
            Settle(transfer, false);
            break;
        case WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING:
            SetEvent(transfer.closed);
            break;
        default:
            break;
    }
}

// The body of a 200 reply from an https:// address, or false for anything else.
bool Fetch(const std::string& address, std::string& body) {
    const ULONGLONG deadline = GetTickCount64() + tolvane::kUpdateTimeoutMs;
    const auto parts = tolvane::SplitWebAddress(address);
    if (!parts || parts->scheme != "https") return false;

    const std::wstring agent = L"Tolvane-Update/" TOLVANE_VERSION_TEXT;
    Handle session(WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                               WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC));
    if (!session) return false;
    const int timeout = tolvane::kUpdateTimeoutMs;
    WinHttpSetTimeouts(session.get(), timeout, timeout, timeout, timeout);
    // Older systems still offer TLS 1.0 and 1.1 by default.
    DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
    WinHttpSetOption(session.get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols);
    Handle connection(
        WinHttpConnect(session.get(), tolvane::Utf8ToWide(parts->host).c_str(), parts->port, 0));
    if (!connection) return false;
    auto* transfer = new (std::nothrow) Transfer;
    if (transfer == nullptr) return false;
    HINTERNET request = WinHttpOpenRequest(
        connection.get(), L"GET", tolvane::Utf8ToWide(parts->path).c_str(), nullptr,
        WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, WINHTTP_FLAG_SECURE);
    if (request == nullptr || transfer->settled == nullptr || transfer->closed == nullptr) {
        if (request != nullptr) WinHttpCloseHandle(request);
        delete transfer;
        return false;
    }
    // A redirect would let another host answer for this one.
    DWORD feature = WINHTTP_DISABLE_REDIRECTS;
    WinHttpSetOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &feature, sizeof feature);
    bool ok = false;
    if (WinHttpSetStatusCallback(
            request, &OnStatus,
            WINHTTP_CALLBACK_FLAG_ALL_COMPLETIONS | WINHTTP_CALLBACK_FLAG_HANDLES,
            0) != WINHTTP_INVALID_STATUS_CALLBACK &&
        WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0,
                           reinterpret_cast<DWORD_PTR>(transfer))) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        ok = WaitForSingleObject(transfer->settled, left) == WAIT_OBJECT_0 && transfer->ok;
        if (ok) body = transfer->body;
    }
    WinHttpCloseHandle(request);
    // Freed only once WinHTTP has let go of it; should that never be said, it is left alone.
    if (WaitForSingleObject(transfer->closed, 5000) == WAIT_OBJECT_0) delete transfer;
    return ok;
}

// The folder that holds Value.ini: the program's own, or the user's where a package installed it.
std::string SettingsFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    const std::wstring program(path, length);
    const std::size_t slash = program.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {};
    // A drive's root keeps its separator ("C:\").
    const std::wstring folder =
        program.substr(0, slash == 2 && program[1] == L':' ? slash + 1 : slash);
    return tolvane::PlacesOf({tolvane::WideToUtf8(folder), '\\'}).settings.path;
}

std::string ReadState(const std::wstring& path) {
    HANDLE file = path.empty() ? INVALID_HANDLE_VALUE
                               : CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    char buffer[4096];
    DWORD read = 0;
    if (!ReadFile(file, buffer, sizeof buffer, &read, nullptr)) read = 0;
    CloseHandle(file);
    return std::string(buffer, read);
}

// Whole or not at all: written beside, then moved over the old one.
void WriteState(const std::wstring& path, const std::string& state) {
    if (path.empty()) return;
    const std::wstring temporary = path + L".tmp";
    // A user's settings folder is made at the first save, as the program makes it.
    CreateDirectoryW(path.substr(0, path.find_last_of(L'\\')).c_str(), nullptr);
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    const bool whole =
        WriteFile(file, state.data(), static_cast<DWORD>(state.size()), &written, nullptr) &&
        written == state.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (!whole || !MoveFileExW(temporary.c_str(), path.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
    }
}

DWORD WINAPI Check(void* parameter) {
    const Request* request = static_cast<Request*>(parameter);
    std::string description;
    if (Fetch(request->address, description)) {
        const auto offer =
            tolvane::UpdateOfferFor(description, TOLVANE_VERSION_TEXT, request->address);
        if (offer && !tolvane::DeclinedBefore(*offer, ReadState(request->statePath))) {
            const std::wstring text =
                tolvane::Utf8ToWide(tolvane::UpdateOfferText(*offer, TOLVANE_VERSION_TEXT));
            const std::wstring caption =
                tolvane::Utf8ToWide(std::string(tolvane::kUpdateOfferCaption));
            if (MessageBoxW(request->owner, text.c_str(), caption.c_str(),
                            MB_YESNO | MB_ICONINFORMATION) == IDYES) {
                ShellExecuteW(nullptr, L"open", tolvane::Utf8ToWide(offer->downloadAddress).c_str(),
                              nullptr, nullptr, SW_SHOWNORMAL);
            } else {
                WriteState(request->statePath, tolvane::DeclinedUpdateState(offer->version));
            }
        }
    }
    delete request;
    return 0;
}

}  // namespace

// The window handle arrives as 32 bits; handles are sign-extended back to pointer size. The
// address is in the ANSI code page (an address we can use is ASCII) and valid only during the
// call.
extern "C" __declspec(dllexport) void WINAPI DoUpdate(std::uint32_t window, const char* address) {
    if (address == nullptr || g_started.exchange(true)) return;
    auto* request = new (std::nothrow)
        Request{reinterpret_cast<HWND>(static_cast<INT_PTR>(static_cast<std::int32_t>(window))),
                address,
                {}};
    if (request == nullptr) return;
    const std::string folder = SettingsFolder();
    if (!folder.empty()) {
        request->statePath = tolvane::Utf8ToWide(tolvane::UpdateStatePath(folder, '\\'));
    }
    HANDLE thread = CreateThread(nullptr, 0, &Check, request, 0, nullptr);
    if (thread == nullptr) {
        delete request;
        return;
    }
    CloseHandle(thread);
}
