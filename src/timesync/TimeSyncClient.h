#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

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

    // Opens a connection when the socket is closed; dropped otherwise.
    void RequestTimeSync(bool interactive);
    // Drops a request under way, closing its connection.
    void Stop();

    static constexpr std::int32_t kTicksPerRequest = 3600;
    static constexpr int kDeadlineMs = 10000;
    static constexpr std::size_t kMaxReplyBytes = 1024;

private:
    void OnSocketData(std::string_view bytes) override;
    void OnSocketEnded() override;
    void OnSocketTimeout() override;
    // Parses what came (when told to), closes, and sets the clock from a fitting reply.
    void Finish(bool parse);
    void Report(SyncOutcome outcome, bool byHand);

    TimeSocket* m_socket;
    ClockSetter* m_setter;
    std::optional<TimeServer> m_server = TimeServer{};
    std::int32_t m_syncTickCount = 0;
    bool m_waiting = false;  // a connection of ours is open or pending
    bool m_interactive = false;
    std::string m_reply;
    DoneHandler m_onDone;
    bool m_byHand = false;
    // A clock setting may answer after this client is gone.
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

}  // namespace tolvane
