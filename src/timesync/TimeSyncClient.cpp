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
    if (m_reading || m_elevating || !m_socket->IsClosed()) {
        // The request under way answers this one too.
        if (m_waiting) m_byHand = m_byHand || interactive;
        return;
    }
    // Every hour the same refusal again would be pointless traffic.
    if (!interactive && m_noRight) return;
    if (interactive && m_offer && m_offerAge.ElapsedMs() < kOfferMs) return Elevate();
    m_offer.reset();
    m_waiting = true;
    m_interactive = interactive;
    m_replyCut = false;
    m_byHand = interactive;
    m_reply.clear();
    if (m_setter == nullptr) return Connect();
    m_reading = true;
    m_setter->ReadSystemTimeSync([this, alive = std::weak_ptr<char>(m_alive)](SystemTimeSync sync) {
        if (alive.expired() || !m_reading) return;
        m_reading = false;
        m_systemSync = sync;
        // The system's own client keeps the clock; only a look asked for by hand is left.
        if (sync == SystemTimeSync::Synchronised && !m_byHand) {
            m_waiting = false;
            return;
        }
        Connect();
    });
}

void TimeSyncClient::Connect() {
    m_socket->Connect(m_server->host, m_server->port, kDeadlineMs);
}

void TimeSyncClient::AcceptOffer() {
    if (m_offer) RequestTimeSync(true);
}

void TimeSyncClient::Stop() {
    if (!m_waiting) return;
    m_waiting = false;
    m_reading = false;
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

void TimeSyncClient::OnSocketNameNotFound() {
    if (m_waiting) Finish(false, true);
}

void TimeSyncClient::OnSocketTimeout() {
    // A line still unfinished after the deadline may be cut short and is stale by seconds.
    if (m_waiting) Finish(false);
}

void TimeSyncClient::Finish(bool replyWhole, bool nameNotFound) {
    m_waiting = false;
    std::optional<ClockRecord> record =
        replyWhole ? ParseDaytimeReply(m_reply) : std::optional<ClockRecord>{};
    std::int64_t uncertaintyMs = 0;
    if (record) {
        const std::int64_t transitMs =
            std::clamp<std::int64_t>(m_socket->ConnectedForMs() / 2, 0, kMaxTransitMs);
        uncertaintyMs = ReplyResolutionMs(m_reply) + transitMs;
        record = ShiftedBy(*record, transitMs);
        if (!IsSettableClockRecord(*record)) record.reset();
    }
    const bool replied = m_reply.find_first_not_of(" \t\r\n") != std::string::npos;
    m_reply.clear();
    // Closed before the clock moves, so a request made from inside the setter can connect.
    m_socket->Close();
    const bool byHand = m_byHand;
    if (!record) {
        Report({replied        ? SyncResult::UnusableReply
                : nameNotFound ? SyncResult::NameNotFound
                               : SyncResult::NoReply},
               byHand);
        return;
    }
    if (m_setter == nullptr) return;
    if (m_systemSync == SystemTimeSync::Synchronised || m_noRight) {
        // Nothing to ask of the system: it keeps the clock itself, or refuses this run.
        const std::optional<std::int64_t> offset = m_setter->OffsetOf(*record);
        if (!offset) return Report({SyncResult::Refused}, byHand);
        if (m_noRight)
            return Conclude({false, *offset, ClockRefusal::NoRight}, uncertaintyMs, byHand, false);
        return Report({SyncResult::SystemKeepsTime, *offset, uncertaintyMs}, byHand);
    }
    m_setter->SetClock(*record, m_interactive,
                       [this, byHand, uncertaintyMs,
                        alive = std::weak_ptr<char>(m_alive)](const ClockSetResult& result) {
                           if (!alive.expired()) Conclude(result, uncertaintyMs, byHand, false);
                       });
}

void TimeSyncClient::Conclude(const ClockSetResult& result, std::int64_t uncertaintyMs, bool byHand,
                              bool elevated) {
    SyncOutcome outcome{SyncResult::ClockSet, result.movedMs, uncertaintyMs};
    if (!result.set) {
        switch (result.refusal) {
            case ClockRefusal::NoRight:
                m_noRight = true;
                outcome.result = SyncResult::Refused;
                if (byHand && !elevated && m_setter->CanElevate()) {
                    m_offer = result.movedMs;
                    m_offerAge.Start();
                    outcome.result = SyncResult::ElevationOffered;
                }
                break;
            case ClockRefusal::AutomaticSync:
                outcome.result = SyncResult::AutomaticSync;
                break;
            case ClockRefusal::NoService:
                outcome.result = SyncResult::NoTimeService;
                break;
            case ClockRefusal::Declined:
                outcome.result = SyncResult::Declined;
                break;
            case ClockRefusal::NoAnswer:
                outcome.result = SyncResult::NoAnswer;
                break;
            case ClockRefusal::Other:
                outcome.result = SyncResult::Refused;
                break;
        }
    }
    Report(outcome, byHand);
}

void TimeSyncClient::Elevate() {
    const std::int64_t offset = *m_offer;
    m_offer.reset();
    m_elevating = true;
    m_setter->SetClockElevated(
        offset, [this, alive = std::weak_ptr<char>(m_alive)](const ClockSetResult& result) {
            if (alive.expired()) return;
            m_elevating = false;
            Conclude(result, 0, true, true);
        });
}

void TimeSyncClient::Report(SyncOutcome outcome, bool byHand) {
    if (m_onDone) m_onDone(outcome, byHand);
}

}  // namespace tolvane
