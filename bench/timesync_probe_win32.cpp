// Measures the Windows time-sync path as the program runs it (Win32TimeSocket on a window and
// TimeSyncClient, one message loop): how long the user-interface thread is busy with each
// message while a sync is under way (the request itself counts as one), and the time from the
// request to the clock setting.
//
// Usage: timesync_probe_win32.exe HOST PORT ROUNDS   (one line of figures in ms per round)
#include "win32/Win32TimeSocket.h"  // winsock2.h ahead of windows.h

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "timesync/TimeSyncClient.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

class StampingSetter final : public tolvane::ClockSetter {
public:
    void SetClock(const tolvane::ClockRecord&, bool, tolvane::ClockSetDone) override {
        setAt = Clock::now();
    }
    // Only the setting is measured: the system keeps no time of its own here.
    void ReadSystemTimeSync(std::function<void(tolvane::SystemTimeSync)> done) override {
        done(tolvane::SystemTimeSync::Off);
    }
    std::optional<std::int64_t> OffsetOf(const tolvane::ClockRecord&) override { return 0; }
    bool CanElevate() override { return false; }
    void SetClockElevated(std::int64_t, tolvane::ClockSetDone) override {}
    Clock::time_point setAt{};
};

struct Busy {
    void Count(double ms) {
        longest = std::max(longest, ms);
        total += ms;
        ++messages;
    }
    double longest = 0;
    double total = 0;
    int messages = 0;
};

// Runs the message loop, timing each dispatch, until `done` or `ms` have passed.
template <typename Done>
void RunFor(double ms, Busy& busy, Done done) {
    const auto end = Clock::now() + std::chrono::duration<double, std::milli>(ms);
    MSG msg;
    while (!done() && Clock::now() < end) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            const Clock::time_point start = Clock::now();
            DispatchMessageW(&msg);
            busy.Count(Ms(Clock::now() - start));
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    tolvane::Win32TimeSocket socket;
    StampingSetter setter;
    tolvane::TimeSyncClient client(&socket, &setter);
    client.SetServer(tolvane::TimeServer{argv[1], static_cast<std::uint16_t>(std::atoi(argv[2]))});

    for (int round = 0, rounds = std::atoi(argv[3]); round < rounds; ++round) {
        Busy settle;
        RunFor(20, settle, [] { return false; });
        setter.setAt = {};
        Busy busy;
        const Clock::time_point requested = Clock::now();
        client.RequestTimeSync(true);
        busy.Count(Ms(Clock::now() - requested));
        RunFor(15000, busy, [&] { return setter.setAt != Clock::time_point{}; });
        const double toSet =
            setter.setAt == Clock::time_point{} ? -1 : Ms(setter.setAt - requested);
        std::printf("request_to_set_ms=%.3f longest_busy_ms=%.3f total_busy_ms=%.3f events=%d\n",
                    toSet, busy.longest, busy.total, busy.messages);
        std::fflush(stdout);
    }
    return 0;
}
