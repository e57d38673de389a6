#include "win32/Win32TimeSocket.h"

#include <cstring>

#include "win32/MessageWindow.h"

namespace tolvane {
namespace {

constexpr wchar_t kWindowClass[] = L"TolvaneTimeSocket";

}  // namespace

Win32TimeSocket::Win32TimeSocket()
    : m_window(CreateMessageWindow(kWindowClass, &Win32TimeSocket::WindowProc, this)) {}

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
            if (m_open) End(&TimeSocketListener::OnSocketTimeout);
            break;
        default:
            break;
    }
}

void Win32TimeSocket::Connect(const std::string& host, std::uint16_t port, int deadlineMs) {
    if (m_open) return;
    m_open = true;
    m_port = port;
    if (m_window == nullptr) return End(&TimeSocketListener::OnSocketFailed);
    SetTimer(m_window, kDeadlineTimer, static_cast<UINT>(deadlineMs), nullptr);
    if (!m_winsock) {
        WSADATA data{};
        m_winsock = WSAStartup(MAKEWORD(2, 2), &data) == 0;
        if (!m_winsock) return End(&TimeSocketListener::OnSocketFailed);
    }
    const unsigned long literal = inet_addr(host.c_str());
    if (literal != INADDR_NONE) {
        in_addr address{};
        address.s_addr = literal;
        m_addresses.push_back(address);
        return ConnectNext();
    }
    m_lookup = WSAAsyncGetHostByName(m_window, kLookupMessage, host.c_str(), m_hostBuffer.data(),
                                     static_cast<int>(m_hostBuffer.size()));
    if (m_lookup == nullptr) End(&TimeSocketListener::OnSocketFailed);
}

void Win32TimeSocket::Close() {
    m_open = false;
    ++m_generation;
    if (m_window != nullptr) KillTimer(m_window, kDeadlineTimer);
    if (m_lookup != nullptr) {
        WSACancelAsyncRequest(m_lookup);
        m_lookup = nullptr;
    }
    DropSocket();
    m_addresses.clear();
    m_nextAddress = 0;
}

void Win32TimeSocket::DropSocket() {
    m_connected.Stop();
    if (m_socket == INVALID_SOCKET) return;
    closesocket(m_socket);
    m_socket = INVALID_SOCKET;
    // The next socket may get the same handle, and messages posted for this one before the close
    // would pass as its own: a refused first address would end the attempt at the second.
    MSG stale;
    for (int i = 0; i < 64; ++i) {
        if (!PeekMessageW(&stale, m_window, kSocketMessage, kSocketMessage, PM_REMOVE)) break;
    }
}

void Win32TimeSocket::OnLookup(HANDLE request, LPARAM result) {
    // An answer to a lookup that was cancelled since.
    if (request != m_lookup || !m_open) return;
    m_lookup = nullptr;
    const auto* entry = reinterpret_cast<const hostent*>(m_hostBuffer.data());
    if (WSAGETASYNCERROR(result) == 0 && entry->h_addrtype == AF_INET &&
        entry->h_length == sizeof(in_addr) && entry->h_addr_list != nullptr) {
        for (char** item = entry->h_addr_list; *item != nullptr; ++item) {
            in_addr address{};
            std::memcpy(&address, *item, sizeof address);
            m_addresses.push_back(address);
        }
    }
    if (m_addresses.empty()) return End(&TimeSocketListener::OnSocketNameNotFound);
    ConnectNext();
}

void Win32TimeSocket::ConnectNext() {
    DropSocket();
    while (m_nextAddress < m_addresses.size()) {
        sockaddr_in server{};
        server.sin_family = AF_INET;
        server.sin_port = htons(m_port);
        server.sin_addr = m_addresses[m_nextAddress++];
        m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (m_socket == INVALID_SOCKET) break;
        // Also makes the socket non-blocking.
        constexpr long kEvents = FD_CONNECT | FD_READ | FD_CLOSE;
        const bool started =
            WSAAsyncSelect(m_socket, m_window, kSocketMessage, kEvents) == 0 &&
            (connect(m_socket, reinterpret_cast<const sockaddr*>(&server), sizeof server) == 0 ||
             WSAGetLastError() == WSAEWOULDBLOCK);
        if (started) return;
        DropSocket();
    }
    End(&TimeSocketListener::OnSocketFailed);
}

void Win32TimeSocket::OnSocket(SOCKET socket, LPARAM event) {
    // Messages already queued for a socket closed since are dropped.
    if (socket != m_socket || !m_open) return;
    switch (WSAGETSELECTEVENT(event)) {
        case FD_CONNECT:
            if (WSAGETSELECTERROR(event) != 0) return ConnectNext();  // refused, unreachable
            m_connected.Start();
            break;
        case FD_READ:
            ReadAvailable(1);  // Winsock posts FD_READ again while data remains
            break;
        case FD_CLOSE:
            // What arrived before the end comes first: the line may end in it.
            if (ReadAvailable(64)) {
                End(ClosedInOrder(WSAGETSELECTERROR(event)) ? &TimeSocketListener::OnSocketClosed
                                                            : &TimeSocketListener::OnSocketFailed);
            }
            break;
        default:
            break;
    }
}

bool Win32TimeSocket::ClosedInOrder(int closeError) {
    if (closeError != 0) return false;  // a reset or an abort
    // Wine (8.0) reports a reset as an orderly close, error 0 and all, and reads the reset's
    // error away before recv could return it. Only the peer's address tells: a reset
    // connection has none any more, one the server closed in order still has it.
    sockaddr_in peer{};
    int size = sizeof peer;
    return getpeername(m_socket, reinterpret_cast<sockaddr*>(&peer), &size) == 0;
}

bool Win32TimeSocket::ReadAvailable(int maxReads) {
    char buffer[1024];
    for (int i = 0; i < maxReads; ++i) {
        const int received = recv(m_socket, buffer, sizeof buffer, 0);
        // The end of the data, but not how the connection ended: under Wine a reset, too,
        // reads as 0 bytes. FD_CLOSE follows and tells.
        if (received == 0) return true;
        if (received < 0) {
            if (WSAGetLastError() == WSAEWOULDBLOCK) return true;
            End(&TimeSocketListener::OnSocketFailed);
            return false;
        }
        const std::uint32_t generation = m_generation;
        if (m_listener != nullptr) {
            m_listener->OnSocketData(std::string_view(buffer, static_cast<std::size_t>(received)));
        }
        // Closed by the listener, and perhaps connecting anew already.
        if (generation != m_generation) return false;
    }
    return true;
}

void Win32TimeSocket::End(void (TimeSocketListener::*event)()) {
    TimeSocketListener* listener = m_listener;
    Close();
    if (listener != nullptr) (listener->*event)();
}

}  // namespace tolvane
