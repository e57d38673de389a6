#include "qt/QtTimeSocket.h"

#include <QString>

namespace tolvane {

QtTimeSocket::QtTimeSocket() {
    m_deadline.setSingleShot(true);
    QObject::connect(&m_socket, &QTcpSocket::readyRead, &m_socket, [this] { OnReadyRead(); });
    // A refused or unreachable server and a failed lookup report an error; a server that
    // closes reports both an error and the disconnection. The first one ends the connection.
    QObject::connect(&m_socket, &QTcpSocket::disconnected, &m_socket, [this] { OnEnded(); });
    QObject::connect(&m_socket, &QTcpSocket::errorOccurred, &m_socket,
                     [this](QAbstractSocket::SocketError) { OnEnded(); });
    QObject::connect(&m_deadline, &QTimer::timeout, &m_socket, [this] {
        if (m_open && m_listener != nullptr) m_listener->OnSocketTimeout();
    });
}

void QtTimeSocket::Connect(const std::string& host, std::uint16_t port, int deadlineMs) {
    if (m_open) return;
    m_open = true;
    m_deadline.start(deadlineMs);
    m_socket.connectToHost(QString::fromStdString(host), port, QIODevice::ReadOnly);
}

void QtTimeSocket::Close() {
    m_open = false;
    m_deadline.stop();
    m_socket.abort();
}

void QtTimeSocket::OnReadyRead() {
    if (!m_open) return;
    const QByteArray bytes = m_socket.readAll();
    if (!bytes.isEmpty() && m_listener != nullptr) {
        m_listener->OnSocketData(
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    }
}

void QtTimeSocket::OnEnded() {
    if (!m_open) return;
    OnReadyRead();  // what arrived just before the close
    if (m_open && m_listener != nullptr) m_listener->OnSocketEnded();
}

}  // namespace tolvane
