#include "win32/Win32TimeSocket.h"

#include <cstring>

namespace tolvane {
namespace {

constexpr wchar_t kWindowClass[] = L"TolvaneTimeSocket";

}  // namespace

Win32TimeSocket::Win32TimeSocket() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Win32TimeSocket::WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);
    m_window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               windowClass.hInstance, nullptr);
    if (m_window != nullptr) {
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
}

Win32TimeSocket::~Win32TimeSocket() {
    Close();
    if (m_window != nullptr) DestroyWindow(m_window);
    if (m_winsock) WSACleanup();
}

LRESULT CALLBACK Win32TimeSocket::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    auto* self = reinterpret_cast<Win32TimeSocket*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr ||
        (message != kSocketMessage && message != kLookupMessage && message != WM_TIMER)) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    self->HandleMessage(message, wParam, lParam);
    return 0;
}

void Win32TimeSocket::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kSocketMessage:
            OnSocket(static_cast<SOCKET>(wParam), lParam);
            break;
        case kLookupMessage:
            OnLookup(reinterpret_cast<HANDLE>(wParam), lParam);
            break;
        case WM_TIMER:
            if (wParam != kDeadlineTimer) break;
            KillTimer(m_window, kDeadlineTimer);
            if (m_open && m_listener != nullptr) m_listener->OnSocketTimeout();
            break;
        default:
            break;
    }
}

void Win32TimeSocket::Connect(const std::string& host, std::uint16_t port, int deadlineMs) {
    if (m_open) return;
    m_open = true;
    m_port = port;
    if (m_window == nullptr) return Ended();
    SetTimer(m_window, kDeadlineTimer, static_cast<UINT>(deadlineMs), nullptr);
    if (!m_winsock) {
        WSADATA data{};
        m_winsock = WSAStartup(MAKEWORD(2, 2), &data) == 0;
        if (!m_winsock) return Ended();
    }
    const unsigned long literal = inet_addr(host.c_str());
    if (literal != INADDR_NONE) {
        in_addr address{};
        address.s_addr = literal;
        return StartConnect(address);
    }
    m_lookup = WSAAsyncGetHostByName(m_window, kLookupMessage, host.c_str(), m_hostBuffer.data(),
                                     static_cast<int>(m_hostBuffer.size()));
    if (m_lookup == nullptr) Ended();
}

void Win32TimeSocket::Close() {
    m_open = false;
    if (m_window != nullptr) KillTimer(m_window, kDeadlineTimer);
    if (m_lookup != nullptr) {
        WSACancelAsyncRequest(m_lookup);
        m_lookup = nullptr;
    }
    if (m_socket != INVALID_SOCKET) {
        closesocket(m_socket);
        m_socket = INVALID_SOCKET;
    }
}

void Win32TimeSocket::OnLookup(HANDLE request, LPARAM result) {
    // An answer to a lookup that was cancelled since.
    if (request != m_lookup || !m_open) return;
    m_lookup = nullptr;
    const auto* entry = reinterpret_cast<const hostent*>(m_hostBuffer.data());
    if (WSAGETASYNCERROR(result) != 0 || entry->h_addrtype != AF_INET ||
        entry->h_length != sizeof(in_addr) || entry->h_addr_list == nullptr ||
        entry->h_addr_list[0] == nullptr) {
        return Ended();
    }
    in_addr address{};
    std::memcpy(&address, entry->h_addr_list[0], sizeof address);
    StartConnect(address);
}

void Win32TimeSocket::StartConnect(in_addr address) {
    m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (m_socket == INVALID_SOCKET) return Ended();
    // Also makes the socket non-blocking.
    if (WSAAsyncSelect(m_socket, m_window, kSocketMessage, FD_CONNECT | FD_READ | FD_CLOSE) != 0) {
        return Ended();
    }
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(m_port);
    server.sin_addr = address;
    if (connect(m_socket, reinterpret_cast<const sockaddr*>(&server), sizeof server) != 0 &&
        WSAGetLastError() != WSAEWOULDBLOCK) {
        Ended();
    }
}

void Win32TimeSocket::OnSocket(SOCKET socket, LPARAM event) {
    // Messages already queued for a socket closed since are dropped.
    if (socket != m_socket || !m_open) return;
    switch (WSAGETSELECTEVENT(event)) {
        case FD_CONNECT:
            if (WSAGETSELECTERROR(event) != 0) Ended();  // refused, unreachable
            break;
        case FD_READ:
            ReadAvailable(1);  // Winsock posts FD_READ again while data remains
            break;
        case FD_CLOSE:
            ReadAvailable(64);
            Ended();
            break;
        default:
            break;
    }
}

void Win32TimeSocket::ReadAvailable(int maxReads) {
    char buffer[1024];
    for (int i = 0; i < maxReads && m_open; ++i) {
        const int received = recv(m_socket, buffer, sizeof buffer, 0);
        if (received <= 0) return;
        if (m_listener != nullptr) {
            m_listener->OnSocketData(std::string_view(buffer, static_cast<std::size_t>(received)));
        }
    }
}

void Win32TimeSocket::Ended() {
    if (m_open && m_listener != nullptr) m_listener->OnSocketEnded();
    if (m_open) Close();
}

}  // namespace tolvane
