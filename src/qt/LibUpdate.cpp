// libupdate.so: Tolvane's update check. DoUpdate returns at once; a thread of its own fetches
// the description over plain HTTP (POSIX sockets, 10 s for the whole exchange, at most 64 KiB)
// and, when it names a higher version than this one, the GUI thread asks the user once
// whether to open the download page. Nothing is downloaded or installed here, and a failure
// of any kind shows nothing.
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QMetaObject>
#include <QUrl>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>

#include "about/Version.h"
#include "promo/UpdateCheck.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

std::atomic<bool> g_started{false};

class Socket {
public:
    explicit Socket(int fd) : m_fd(fd) {}
    ~Socket() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

// True when the socket is ready (or has failed, which the next call reports) before the
// deadline.
bool WaitFor(int fd, short events, SteadyClock::time_point deadline) {
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
        if (left.count() <= 0) return false;
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(left.count()));
        if (ready > 0) return true;
        if (ready == 0 || errno != EINTR) return false;
    }
}

int Connect(const tolvane::HttpAddress& address, SteadyClock::time_point deadline) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(address.host.c_str(), std::to_string(address.port).c_str(), &hints, &found) !=
        0) {
        return -1;
    }
    int connected = -1;
    for (addrinfo* entry = found; entry != nullptr && connected < 0; entry = entry->ai_next) {
        const int fd = ::socket(entry->ai_family, entry->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                                entry->ai_protocol);
        if (fd < 0) continue;
        int error = 0;
        socklen_t size = sizeof error;
        if (::connect(fd, entry->ai_addr, entry->ai_addrlen) == 0 ||
            (errno == EINPROGRESS && WaitFor(fd, POLLOUT, deadline) &&
             ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0)) {
            connected = fd;
        } else {
            ::close(fd);
        }
    }
    ::freeaddrinfo(found);
    return connected;
}

bool SendAll(int fd, const std::string& text, SteadyClock::time_point deadline) {
    std::size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t n = ::send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) &&
                   WaitFor(fd, POLLOUT, deadline)) {
            continue;
        } else {
            return false;
        }
    }
    return true;
}

std::optional<std::string> Fetch(const std::string& address) {
    const auto parts = tolvane::SplitHttpAddress(address);
    if (!parts) return std::nullopt;
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(tolvane::kUpdateTimeoutMs);
    const Socket socket(Connect(*parts, deadline));
    if (socket.fd() < 0) return std::nullopt;
    if (!SendAll(socket.fd(),
                 tolvane::HttpGetRequest(*parts, "Tolvane-Update/" TOLVANE_VERSION_TEXT),
                 deadline)) {
        return std::nullopt;
    }
    // Room for the headers beside the largest description.
    constexpr std::size_t kMaxReply = tolvane::kMaxUpdateDescriptionBytes + 16 * 1024;
    std::string reply;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::recv(socket.fd(), buffer, sizeof buffer, 0);
        if (n > 0) {
            reply.append(buffer, static_cast<std::size_t>(n));
            if (reply.size() > kMaxReply) return std::nullopt;
        } else if (n == 0) {
            break;
        } else if (errno == EINTR) {
            continue;
        } else if ((errno == EAGAIN || errno == EWOULDBLOCK) &&
                   WaitFor(socket.fd(), POLLIN, deadline)) {
            continue;
        } else {
            return std::nullopt;
        }
    }
    return tolvane::HttpReplyBody(reply, tolvane::kMaxUpdateDescriptionBytes);
}

// On the GUI thread: a small question with no owner (there is no main window to own it here).
void Offer(const tolvane::UpdateDescription& offer) {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr) return;
    const QString caption = QString::fromUtf8(tolvane::kUpdateOfferCaption.data(),
                                              qsizetype(tolvane::kUpdateOfferCaption.size()));
    const QString text =
        QString::fromStdString(tolvane::UpdateOfferText(offer, TOLVANE_VERSION_TEXT));
    const QUrl download(QString::fromStdString(offer.downloadAddress));
    QMetaObject::invokeMethod(
        application,
        [caption, text, download] {
            auto* box = new QMessageBox(QMessageBox::Information, caption, text,
                                        QMessageBox::Yes | QMessageBox::No);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
            box->button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
            QObject::connect(box, &QMessageBox::buttonClicked, box,
                             [box, download](QAbstractButton* button) {
                                 if (box->standardButton(button) == QMessageBox::Yes) {
                                     QDesktopServices::openUrl(download);
                                 }
                             });
            box->show();
        },
        Qt::QueuedConnection);
}

void Check(const std::string& address) {
    const auto description = Fetch(address);
    if (!description) return;
    const auto offer = tolvane::UpdateOfferFor(*description, TOLVANE_VERSION_TEXT);
    if (offer) Offer(*offer);
}

}  // namespace

// The window handle has no meaning here (0); the address is valid only during the call.
extern "C" __attribute__((visibility("default"))) void DoUpdate(std::uint32_t /*window*/,
                                                                const char* address) {
    if (address == nullptr || g_started.exchange(true)) return;
    try {
        std::thread(Check, std::string(address)).detach();
    } catch (...) {
        // No thread, no check: the program goes on as without the library.
    }
}
