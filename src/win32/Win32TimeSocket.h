#pragma once

#include <windows.h>
#include <winsock2.h>

#include <array>
#include <vector>

#include "base/Stopwatch.h"
#include "timesync/TimeSocket.h"

namespace tolvane {

// Winsock in the thread's message loop: the name lookup (WSAAsyncGetHostByName), the
// connection and the reads (WSAAsyncSelect) report as messages to a message-only window of the
// socket's own, and a timer of that window carries the deadline over every address tried. The
// window is made with the object, on the thread whose loop runs it, so that no request pays
// for it.
class Win32TimeSocket final : public TimeSocket {
public:
    Win32TimeSocket();
    ~Win32TimeSocket() override;
    Win32TimeSocket(const Win32TimeSocket&) = delete;
    Win32TimeSocket& operator=(const Win32TimeSocket&) = delete;

    void SetListener(TimeSocketListener* listener) override { m_listener = listener; }
    bool IsClosed() override { return !m_open; }
    void Connect(const std::string& host, std::uint16_t port, int deadlineMs) override;
    void Close() override;
    std::int64_t ConnectedForMs() override { return m_connected.ElapsedMs(); }

private:
    static constexpr UINT kSocketMessage = WM_APP + 2;
    static constexpr UINT kLookupMessage = WM_APP + 3;
    static constexpr UINT_PTR kDeadlineTimer = 1;

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnLookup(HANDLE request, LPARAM result);
    void OnSocket(SOCKET socket, LPARAM event);
    // Connects to the next address not yet tried; fails when none is left.
    void ConnectNext();
    void DropSocket();
    // Reads what has arrived; false once the connection is closed (a listener's close
    // included) or has failed and been reported.
    bool ReadAvailable(int maxReads);
    // Whether the connection that FD_CLOSE reported with `closeError` was closed in order.
    bool ClosedInOrder(int closeError);
    void End(void (TimeSocketListener::*event)());

    HWND m_window = nullptr;
    TimeSocketListener* m_listener = nullptr;
    bool m_winsock = false;
    bool m_open = false;
    Stopwatch m_connected;
    std::uint32_t m_generation = 0;  // counts the closes, so a listener's close is noticed
    std::uint16_t m_port = 0;
    std::vector<in_addr> m_addresses;
    std::size_t m_nextAddress = 0;
    HANDLE m_lookup = nullptr;
    SOCKET m_socket = INVALID_SOCKET;
    std::array<char, MAXGETHOSTSTRUCT> m_hostBuffer{};
};

}  // namespace tolvane
