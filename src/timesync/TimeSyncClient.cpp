#include "timesync/TimeSyncClient.h"

#include <algorithm>

namespace tolvane {
namespace {

// The reply is complete at the end of its first line; NIST's leading empty line does not count.
// npos while that line has not ended.
std::size_t FirstLineEnd(const std::string& reply) {
    const std::size_t content = reply.find_first_not_of("\r\n");
    return content == std::string::npos ? content : reply.find('\n', content);
}

}  // namespace

TimeSyncClient::TimeSyncClient(TimeSocket* socket, ClockSetter* setter)
    : m_socket(socket), m_setter(setter) {
    if (m_socket != nullptr) m_socket->SetListener(this);
}

TimeSyncClient::~TimeSyncClient() {
    if (m_socket != nullptr) m_socket->SetListener(nullptr);
}

void TimeSyncClient::Tick() {
    ++m_syncTickCount;
    if (m_syncTickCount > kTicksPerRequest) {
        m_syncTickCount = 0;
        RequestTimeSync(false);
    }
}

void TimeSyncClient::RequestTimeSync(bool interactive) {
    if (m_socket == nullptr) return;
    if (!m_server) {
        Report({SyncResult::NoServer}, interactive);
        return;
    }
    if (!m_socket->IsClosed()) {
        // The request under way answers this one too.
        if (m_waiting) m_byHand = m_byHand || interactive;
        return;
    }
    m_waiting = true;
    m_interactive = interactive;
    m_replyCut = false;
    m_byHand = interactive;
    m_reply.clear();
    m_socket->Connect(m_server->host, m_server->port, kDeadlineMs);
}

void TimeSyncClient::Stop() {
    if (!m_waiting) return;
    m_waiting = false;
    m_reply.clear();
    m_socket->Close();
}

void TimeSyncClient::OnSocketData(std::string_view bytes) {
    if (!m_waiting) return;
    if (!m_replyCut) {
        const std::size_t room = kMaxReplyBytes - m_reply.size();
        m_reply.append(bytes.substr(0, room));
        const std::size_t lineEnd = FirstLineEnd(m_reply);
        if (lineEnd != std::string::npos) {
            m_reply.erase(lineEnd + 1);
            Finish(true);
            return;
        }
        if (bytes.size() <= room) return;
        // The limit may fall inside a number ("08:05:5|9"): the last word kept cannot count.
        m_replyCut = true;
        const std::size_t lastSpace = m_reply.rfind(' ');
        m_reply.erase(lastSpace == std::string::npos ? 0 : lastSpace);
        bytes.remove_prefix(room);
    }
    if (bytes.find('\n') != std::string_view::npos) Finish(true);
}

void TimeSyncClient::OnSocketClosed() {
    if (m_waiting) Finish(true);
}

void TimeSyncClient::OnSocketFailed() {
    // A reset may cut a line anywhere, "08:05:5" for "08:05:59" included.
    if (m_waiting) Finish(false);
}

void TimeSyncClient::OnSocketTimeout() {
    // A line still unfinished after the deadline may be cut short and is stale by seconds.
    if (m_waiting) Finish(false);
}

void TimeSyncClient::Finish(bool replyWhole) {
    m_waiting = false;
    std::optional<ClockRecord> record =
        replyWhole ? ParseDaytimeReply(m_reply) : std::optional<ClockRecord>{};
    if (record) {
        const std::int64_t transitMs =
            std::clamp<std::int64_t>(m_socket->ConnectedForMs() / 2, 0, kMaxTransitMs);
        record = ShiftedBy(*record, transitMs);
        if (!IsSettableClockRecord(*record)) record.reset();
    }
    const bool replied = m_reply.find_first_not_of(" \t\r\n") != std::string::npos;
    m_reply.clear();
    // Closed before the clock moves, so a request made from inside the setter can connect.
    m_socket->Close();
    const bool byHand = m_byHand;
    if (!record) {
        Report({replied ? SyncResult::UnusableReply : SyncResult::NoReply}, byHand);
    } else if (m_setter != nullptr) {
        m_setter->SetClock(
            *record, m_interactive,
            [this, byHand, alive = std::weak_ptr<char>(m_alive)](const ClockSetResult& result) {
                if (alive.expired()) return;
                Report({result.set ? SyncResult::ClockSet : SyncResult::Refused,
                        result.set ? result.movedMs : 0},
                       byHand);
            });
    }
}

void TimeSyncClient::Report(SyncOutcome outcome, bool byHand) {
    if (m_onDone) m_onDone(outcome, byHand);
}

}  // namespace tolvane
