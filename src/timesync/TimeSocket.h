#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tolvane {

// What a time-server connection reports, always on the user-interface thread.
class TimeSocketListener {
public:
    virtual ~TimeSocketListener() = default;
    virtual void OnSocketData(std::string_view bytes) = 0;
    // The server ended the connection in order: everything it sent has arrived.
    virtual void OnSocketClosed() = 0;
    // No address of the server took the connection (refused, unreachable), or the connection
    // broke (reset, network error): what arrived may have been cut short.
    virtual void OnSocketFailed() = 0;
    // The server's name could not be looked up (no such name, or no name service reachable).
    virtual void OnSocketNameNotFound() = 0;
    // The deadline given to Connect passed with the connection still open or pending.
    virtual void OnSocketTimeout() = 0;
};

// A TCP client socket whose every step (name lookup, connect, read) runs in the background.
// Nothing is ever sent. After Close no event of that connection arrives any more.
class TimeSocket {
public:
    virtual ~TimeSocket() = default;
    virtual void SetListener(TimeSocketListener* listener) = 0;
    // Closed: no lookup, connection or close in progress; only then may Connect be called.
    virtual bool IsClosed() = 0;
    // Returns at once; the outcome arrives as events. Every address the name has is tried in
    // turn within the one deadline. The socket is closed before an ending event arrives.
    virtual void Connect(const std::string& host, std::uint16_t port, int deadlineMs) = 0;
    virtual void Close() = 0;
    // How long ago the connection was made, in milliseconds; 0 while there is none.
    virtual std::int64_t ConnectedForMs() = 0;
};

}  // namespace tolvane
