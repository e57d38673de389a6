#pragma once

#include <string>
#include <vector>

#include "timesync/TimeSocket.h"

namespace tolvane::fakes {

// A socket the test drives by hand: it records connections and closes, and delivers whatever
// events the test chooses to the listener.
class FakeTimeSocket final : public TimeSocket {
public:
    struct Connection {
        std::string host;
        std::uint16_t port;
        int deadlineMs;
    };

    void SetListener(TimeSocketListener* l) override { listener = l; }
    bool IsClosed() override { return closed; }
    void Connect(const std::string& host, std::uint16_t port, int deadlineMs) override {
        connections.push_back({host, port, deadlineMs});
        closed = false;
    }
    void Close() override {
        ++closes;
        closed = true;
    }
    std::int64_t ConnectedForMs() override { return closed ? 0 : connectedForMs; }

    void Deliver(std::string_view bytes) { listener->OnSocketData(bytes); }
    void ServerCloses() { listener->OnSocketClosed(); }
    void Fails() { listener->OnSocketFailed(); }
    void Timeout() { listener->OnSocketTimeout(); }
    void NameNotFound() { listener->OnSocketNameNotFound(); }

    TimeSocketListener* listener = nullptr;
    bool closed = true;
    int closes = 0;
    std::int64_t connectedForMs = 0;
    std::vector<Connection> connections;
};

}  // namespace tolvane::fakes
