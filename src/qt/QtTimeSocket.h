#pragma once

#include <QTcpSocket>
#include <QTimer>

#include "timesync/TimeSocket.h"

namespace tolvane {

// QTcpSocket does the name lookup, the connection and the reads in the background and reports
// on the event loop; a single-shot timer carries the deadline.
class QtTimeSocket final : public TimeSocket {
public:
    QtTimeSocket();

    void SetListener(TimeSocketListener* listener) override { m_listener = listener; }
    bool IsClosed() override { return !m_open; }
    void Connect(const std::string& host, std::uint16_t port, int deadlineMs) override;
    void Close() override;

private:
    void OnReadyRead();
    void OnEnded();

    QTcpSocket m_socket;
    QTimer m_deadline;
    TimeSocketListener* m_listener = nullptr;
    bool m_open = false;
};

}  // namespace tolvane
