#pragma once

#include <QHostAddress>
#include <QList>
#include <QSocketNotifier>
#include <QTimer>

#include "base/Stopwatch.h"
#include "qt/PosixFile.h"
#include "timesync/TimeSocket.h"

namespace tolvane {

// QHostInfo looks the name up in the background; each of its addresses is then tried in turn
// with a non-blocking socket of our own, watched by socket notifiers on the event loop, and a
// single-shot timer carries the deadline over all of it. Not QTcpSocket: it reports a reset
// connection as an orderly close, and a line cut short by a reset would set the clock.
class QtTimeSocket final : public TimeSocket {
public:
    QtTimeSocket();
    ~QtTimeSocket() override;
    QtTimeSocket(const QtTimeSocket&) = delete;
    QtTimeSocket& operator=(const QtTimeSocket&) = delete;

    void SetListener(TimeSocketListener* listener) override { m_listener = listener; }
    bool IsClosed() override { return !m_open; }
    void Connect(const std::string& host, std::uint16_t port, int deadlineMs) override;
    void Close() override;
    std::int64_t ConnectedForMs() override { return m_connected.ElapsedMs(); }

private:
    // Connects to the next address not yet tried; fails when none is left.
    void ConnectNext();
    void OnConnectDone();
    void OnReadable();
    void DropSocket();
    void End(void (TimeSocketListener::*event)());

    QTimer m_deadline;
    QSocketNotifier m_connecting{QSocketNotifier::Write};
    QSocketNotifier m_reading{QSocketNotifier::Read};
    TimeSocketListener* m_listener = nullptr;
    bool m_open = false;
    Stopwatch m_connected;
    std::uint16_t m_port = 0;
    int m_lookup = -1;
    QList<QHostAddress> m_addresses;
    FileDescriptor m_socket;
};

}  // namespace tolvane
