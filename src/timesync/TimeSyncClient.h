#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/Stopwatch.h"
#include "timesync/ClockSetter.h"
#include "timesync/SyncFeedback.h"
#include "timesync/TimeServer.h"
#include "timesync/TimeSocket.h"

namespace tolvane {

// The Daytime client of the main window: the hourly tick counter, the request that goes
// through only while the socket is closed, and the one reply of each connection.
class TimeSyncClient final : private TimeSocketListener {
public:
    // Either service may be missing; synchronisation is then inert.
    TimeSyncClient(TimeSocket* socket, ClockSetter* setter);
    ~TimeSyncClient() override;
    TimeSyncClient(const TimeSyncClient&) = delete;
    TimeSyncClient& operator=(const TimeSyncClient&) = delete;

    // nullopt: the configured server could not be understood; requests only report that.
    void SetServer(std::optional<TimeServer> server) { m_server = std::move(server); }
    const std::optional<TimeServer>& Server() const { return m_server; }

    // Told how every request ended; `byHand` for one asked for with `interactive`, or asked for
    // so while it was under way.
    using DoneHandler = std::function<void(const SyncOutcome& outcome, bool byHand)>;
    void SetDoneHandler(DoneHandler handler) { m_onDone = std::move(handler); }

    // One tick of the one-second sync timer; every 3601st tick asks for the time.
    void Tick();
    std::int32_t SyncTickCount() const { return m_syncTickCount; }

    // Opens a connection when no request is under way; dropped otherwise. The hourly request is
    // also dropped while the system keeps its own clock synchronised, and for the rest of the
    // run once the clock turned out to need rights this run lacks. Asked for by hand while an
    // offer of administrator rights stands, it takes the offer instead.
    void RequestTimeSync(bool interactive);
    // The user took the offer some other way (a click on its notification); nothing once it
    // has gone.
    void AcceptOffer();
    bool LacksRight() const { return m_noRight; }
    // Drops a request under way, closing its connection.
    void Stop();

    static constexpr std::int32_t kTicksPerRequest = 3600;
    static constexpr int kDeadlineMs = 10000;
    // Only the start of a longer line is kept; the rest is read and dropped until it ends.
    static constexpr std::size_t kMaxReplyBytes = 1024;
    // The line was written about half a round trip before it arrived; a slower link is not
    // trusted for more.
    static constexpr std::int64_t kMaxTransitMs = 1000;
    // How long choosing the menu entry again takes the offer of administrator rights; later, the
    // clock may have been set otherwise, and the offset is measured again.
    static constexpr std::int64_t kOfferMs = 60000;

private:
    void OnSocketData(std::string_view bytes) override;
    void OnSocketClosed() override;
    void OnSocketFailed() override;
    void OnSocketTimeout() override;
    void OnSocketNameNotFound() override;
    void Connect();
    // Every connection of a request ends here, and only here: the one place that knows whether
    // a whole reply came, whether it fitted, and what was asked of the clock. Closes, sets the
    // clock from a whole reply (ended by its line end or by the server's orderly close) that
    // fits, and reports how it went.
    void Finish(bool replyWhole, bool nameNotFound = false);
    // Reports what the setter answered; a first refusal for lack of rights stops the hourly
    // requests and, asked for by hand, offers administrator rights.
    void Conclude(const ClockSetResult& result, std::int64_t uncertaintyMs, bool byHand,
                  bool elevated);
    void Elevate();
    void Report(SyncOutcome outcome, bool byHand);

    TimeSocket* m_socket;
    ClockSetter* m_setter;
    std::optional<TimeServer> m_server = TimeServer{};
    std::int32_t m_syncTickCount = 0;
    bool m_waiting = false;  // a connection of ours is open or pending, or about to be
    bool m_reading = false;  // the system's own synchronisation is being asked first
    bool m_elevating = false;
    bool m_noRight = false;
    SystemTimeSync m_systemSync = SystemTimeSync::Off;
    std::optional<std::int64_t> m_offer;  // the offset administrator rights would apply
    Stopwatch m_offerAge;
    bool m_interactive = false;
    bool m_replyCut = false;  // the line outgrew kMaxReplyBytes; its end is still awaited
    std::string m_reply;
    DoneHandler m_onDone;
    bool m_byHand = false;
    // A clock setting may answer after this client is gone.
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

}  // namespace tolvane
