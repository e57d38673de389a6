#include "qt/QtTimeSocket.h"

#include <QAbstractSocket>
#include <QHostInfo>
#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tolvane {
namespace {

// The socket address of `address`:`port`; false for anything that is neither IPv4 nor IPv6.
bool ToSocketAddress(const QHostAddress& address, std::uint16_t port, sockaddr_storage& storage,
                     socklen_t& length) {
    storage = {};
    if (address.protocol() == QAbstractSocket::IPv4Protocol) {
        auto& ip4 = reinterpret_cast<sockaddr_in&>(storage);
        ip4.sin_family = AF_INET;
        ip4.sin_port = htons(port);
        ip4.sin_addr.s_addr = htonl(address.toIPv4Address());
        length = sizeof ip4;
        return true;
    }
    if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        auto& ip6 = reinterpret_cast<sockaddr_in6&>(storage);
        ip6.sin6_family = AF_INET6;
        ip6.sin6_port = htons(port);
        const Q_IPV6ADDR bytes = address.toIPv6Address();
        std::memcpy(&ip6.sin6_addr, bytes.c, sizeof ip6.sin6_addr);
        length = sizeof ip6;
        return true;
    }
    return false;
}

}  // namespace

QtTimeSocket::QtTimeSocket() {
    m_deadline.setSingleShot(true);
    QObject::connect(&m_deadline, &QTimer::timeout, &m_deadline, [this] {
        if (m_open) End(&TimeSocketListener::OnSocketTimeout);
    });
    QObject::connect(&m_connecting, &QSocketNotifier::activated, &m_deadline,
                     [this] { OnConnectDone(); });
    QObject::connect(&m_reading, &QSocketNotifier::activated, &m_deadline,
                     [this] { OnReadable(); });
}

QtTimeSocket::~QtTimeSocket() {
    Close();
}

void QtTimeSocket::Connect(const std::string& host, std::uint16_t port, int deadlineMs) {
    if (m_open) return;
    m_open = true;
    m_port = port;
    m_deadline.start(deadlineMs);
    const QString name = QString::fromStdString(host);
    // QHostInfo would look a literal address up in reverse, waiting on DNS for nothing.
    QHostAddress literal;
    if (literal.setAddress(name)) {
        m_addresses = {literal};
        return ConnectNext();
    }
    m_lookup = QHostInfo::lookupHost(name, &m_deadline, [this](const QHostInfo& info) {
        if (!m_open || info.lookupId() != m_lookup) return;
        m_lookup = -1;
        if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
            return End(&TimeSocketListener::OnSocketNameNotFound);
        }
        m_addresses = info.addresses();
        ConnectNext();
    });
}

void QtTimeSocket::Close() {
    m_open = false;
    m_deadline.stop();
    if (m_lookup >= 0) {
        QHostInfo::abortHostLookup(m_lookup);
        m_lookup = -1;
    }
    DropSocket();
    m_addresses.clear();
}

void QtTimeSocket::DropSocket() {
    m_connected.Stop();
    m_connecting.setEnabled(false);
    m_reading.setEnabled(false);
    m_socket.Close();
}

void QtTimeSocket::ConnectNext() {
    DropSocket();
    while (!m_addresses.isEmpty()) {
        sockaddr_storage address{};
        socklen_t length = 0;
        if (!ToSocketAddress(m_addresses.takeFirst(), m_port, address, length)) continue;
        m_socket = FileDescriptor(
            ::socket(address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        if (!m_socket.IsOpen()) continue;
        if (::connect(m_socket.Get(), reinterpret_cast<const sockaddr*>(&address), length) == 0 ||
            errno == EINPROGRESS || errno == EINTR) {
            // Writable once the connection is made or has failed, even if already made.
            m_connecting.setSocket(m_socket.Get());
            m_connecting.setEnabled(true);
            return;
        }
        DropSocket();
    }
    End(&TimeSocketListener::OnSocketFailed);
}

void QtTimeSocket::OnConnectDone() {
    m_connecting.setEnabled(false);
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(m_socket.Get(), SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0) {
        return ConnectNext();  // refused, unreachable
    }
    m_connected.Start();
    m_reading.setSocket(m_socket.Get());
    m_reading.setEnabled(true);
}

void QtTimeSocket::OnReadable() {
    // One read per notification: the notifier fires again while data remains.
    char buffer[1024];
    const ssize_t received = ::recv(m_socket.Get(), buffer, sizeof buffer, 0);
    if (received > 0) {
        if (m_listener != nullptr) {
            m_listener->OnSocketData(std::string_view(buffer, static_cast<std::size_t>(received)));
        }
        return;
    }
    if (received == 0) return End(&TimeSocketListener::OnSocketClosed);
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return;
    // The kernel hands out what came before a reset first, then ECONNRESET.
    End(&TimeSocketListener::OnSocketFailed);
}

void QtTimeSocket::End(void (TimeSocketListener::*event)()) {
    TimeSocketListener* listener = m_listener;
    Close();
    if (listener != nullptr) (listener->*event)();
}

}  // namespace tolvane
