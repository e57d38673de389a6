#pragma once

#include <windows.h>
#include <winsock2.h>

#include <array>

#include "timesync/TimeSocket.h"

namespace tolvane {

// Winsock in the window's own message loop: the name lookup (WSAAsyncGetHostByName), the
// connection and the reads (WSAAsyncSelect) report as messages to the main window, and a
// window timer carries the deadline. The window procedure passes every message through
// HandleMessage first.
class Win32TimeSocket final : public TimeSocket {
public:
    static constexpr UINT kSocketMessage = WM_APP + 2;
    static constexpr UINT kLookupMessage = WM_APP + 3;
    static constexpr UINT_PTR kDeadlineTimer = 0x7505;

    Win32TimeSocket() = default;
    ~Win32TimeSocket() override;
    Win32TimeSocket(const Win32TimeSocket&) = delete;
    Win32TimeSocket& operator=(const Win32TimeSocket&) = delete;

    // The window that receives the socket's messages; until then every connection fails.
    void Attach(HWND window) { m_window = window; }
    // True when the message was the socket's.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void SetListener(TimeSocketListener* listener) override { m_listener = listener; }
    bool IsClosed() override { return !m_open; }
    void Connect(const std::string& host, std::uint16_t port, int deadlineMs) override;
    void Close() override;

private:
    void OnLookup(HANDLE request, LPARAM result);
    void OnSocket(SOCKET socket, LPARAM event);
    void StartConnect(in_addr address);
    void ReadAvailable(int maxReads);
    void Ended();

    HWND m_window = nullptr;
    TimeSocketListener* m_listener = nullptr;
    bool m_winsock = false;
    bool m_open = false;
    std::uint16_t m_port = 0;
    HANDLE m_lookup = nullptr;
    SOCKET m_socket = INVALID_SOCKET;
    std::array<char, MAXGETHOSTSTRUCT> m_hostBuffer{};
};

}  // namespace tolvane
