#include "qt/StartedAgain.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QLocalSocket>

#include <cstring>
#include <utility>

namespace tolvane {

std::string StartedAgainSocket(const std::string& markerPath) {
    const std::string lock = ".lock";
    const bool marker = markerPath.size() > lock.size() && markerPath.ends_with(lock);
    return marker ? markerPath.substr(0, markerPath.size() - lock.size()) + ".socket" : "";
}

bool TellRunningCopy(const std::string& markerPath) {
    const std::string path = StartedAgainSocket(markerPath);
    sockaddr_un address{};
    if (path.empty() || path.size() >= sizeof address.sun_path) return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    // A connection is all there is to say; one waiting in the queue is heard as well.
    const bool told =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return told;
}

StartedAgainListener::StartedAgainListener(const std::string& markerPath,
                                           std::function<void()> heard)
    : m_heard(std::move(heard)) {
    const QString path = QString::fromStdString(StartedAgainSocket(markerPath));
    if (path.isEmpty()) return;
    // This copy holds the marker, so a socket left there is a dead copy's.
    QLocalServer::removeServer(path);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server.listen(path)) return;
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server.nextPendingConnection()) {
            socket->deleteLater();
            m_heard();
        }
    });
}

}  // namespace tolvane
