#include "timesync/TimeSyncClient.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fakes/FakeTimeSocket.h"
#include "fakes/RecordingClockSetter.h"
#include "timesync/ElevatedClock.h"

namespace tolvane::testing {
namespace {

struct Client {
    fakes::FakeTimeSocket socket;
    fakes::RecordingClockSetter setter;
    TimeSyncClient client{&socket, &setter};
    std::vector<SyncResult> results;
    Client() {
        client.SetDoneHandler([this](const SyncOutcome& o, bool) { results.push_back(o.result); });
    }

    void Ticks(int n) {
        for (int i = 0; i < n; ++i) client.Tick();
    }
};

enum class Then { Nothing, ServerCloses, Fails, Deadline, ProgramExits };

struct ReplyRow {
    const char* name;
    std::vector<std::string> chunks;
    Then then;
    bool sets;
    bool utc = false;
};

const std::string kExample = "07 SEPT 2026 08:05:09\r\n";
const std::string kNist = "\n61290 26-09-07 03:04:05 50 0 0  50.0 UTC(NIST) *\n";

// clang-format off
const ReplyRow kRows[] = {
    {"whole_line", {kExample}, Then::Nothing, true},
    {"line_in_pieces", {"07 SE", "PT 2026 08:0", "5:09\r", "\n"}, Then::Nothing, true},
    {"line_then_more", {"07 SEPT 2026 08:05:09\r\nsecond line 99:99:99"}, Then::Nothing, true},
    {"nist_after_its_empty_line", {"\n", kNist.substr(1, 20), kNist.substr(21)}, Then::Nothing, true, true},
    {"no_line_end_then_close", {"07 SEPT 2026 08:05:09"}, Then::ServerCloses, true},
    {"long_line_cut_at_1_KiB", {"07 SEPT 2026 08:05:09 " + std::string(1100, 'x'), "x\r\n"}, Then::Nothing, true},
    {"long_line_then_close", {"07 SEPT 2026 08:05:09 " + std::string(1100, 'x')}, Then::ServerCloses, true},
    {"long_line_then_reset", {"07 SEPT 2026 08:05:09 " + std::string(1100, 'x')}, Then::Fails, false},
    {"time_cut_by_the_limit", {std::string(1005, '0') + "7 SEPT 2026 08:05:59\r\n"}, Then::Nothing, false},
    {"garbage_line", {"garbage\r\n"}, Then::Nothing, false},
    {"kib_of_garbage_in_pieces", std::vector<std::string>(11, std::string(100, 'X')), Then::ServerCloses, false},
    {"half_a_line_then_close", {"07 SEPT 2026 08:0"}, Then::ServerCloses, false},
    {"half_a_line_then_deadline", {"07 SEPT 2026 08:0"}, Then::Deadline, false},
    {"unfinished_line_at_deadline", {"07 SEPT 2026 08:05:09"}, Then::Deadline, false},
    {"cut_by_a_reset", {"07 SEPT 2026 08:05:5"}, Then::Fails, false},
    {"no_line_end_then_reset", {"07 SEPT 2026 08:05:59"}, Then::Fails, false},
    {"refused", {}, Then::Fails, false},
    {"silent", {}, Then::Deadline, false},
    {"only_empty_lines_then_close", {"\r\n", "\r\n"}, Then::ServerCloses, false},
    {"exit_before_the_line_ends", {"07 SEPT 2026 08:05:09"}, Then::ProgramExits, false},
};
// clang-format on

TEST(TimeSyncClient, EachReplyParsedOnceThenClosedSoTheNextRequestConnects) {
    for (const ReplyRow& row : kRows) {
        SCOPED_TRACE(row.name);
        Client c;
        c.client.RequestTimeSync(true);
        c.socket.connectedForMs = row.utc ? 60000 : 301;  // half of it, up to 1 s, is added
        ASSERT_EQ(c.socket.connections.size(), 1u);
        for (std::size_t i = 0; i < row.chunks.size() && !c.socket.closed; ++i) {
            // Nothing is decided before the reply is complete.
            EXPECT_TRUE(c.setter.settings.empty());
            c.socket.Deliver(row.chunks[i]);
        }
        if (row.then == Then::ServerCloses) c.socket.ServerCloses();
        if (row.then == Then::Fails) c.socket.Fails();
        if (row.then == Then::Deadline) c.socket.Timeout();
        if (row.then == Then::ProgramExits) c.client.Stop();

        EXPECT_TRUE(c.socket.closed);
        EXPECT_EQ(c.socket.closes, 1);
        ASSERT_EQ(c.setter.settings.size(), row.sets ? 1u : 0u);
        if (row.sets) {
            EXPECT_EQ(c.setter.settings[0].record.utc, row.utc);
            EXPECT_EQ(c.setter.settings[0].record.hour, row.utc ? 3 : 8);
            EXPECT_EQ(c.setter.settings[0].record.second, row.utc ? 6 : 9);
            EXPECT_EQ(c.setter.settings[0].record.milliseconds, row.utc ? 0 : 650);
            EXPECT_TRUE(c.setter.settings[0].interactive);
        }
        // One outcome for every request that was not dropped at exit.
        ASSERT_EQ(c.results.size(), row.then == Then::ProgramExits ? 0u : 1u);
        EXPECT_EQ(c.results != std::vector{SyncResult::ClockSet}, !row.sets);
        // Events after the end change nothing.
        c.socket.Deliver("\r\n");
        c.socket.ServerCloses();
        c.socket.Fails();
        c.socket.Timeout();
        EXPECT_EQ(c.socket.closes, 1);
        c.client.RequestTimeSync(true);
        EXPECT_EQ(c.socket.connections.size(), 2u);
    }
}

TEST(TimeSyncClient, ConnectsToTheServerWithATenSecondDeadline) {
    Client c;
    c.client.RequestTimeSync(true);
    ASSERT_EQ(c.socket.connections.size(), 1u);
    EXPECT_EQ(c.socket.connections[0].host, "time.nist.gov");
    EXPECT_EQ(c.socket.connections[0].port, 13);
    EXPECT_EQ(c.socket.connections[0].deadlineMs, 10000);

    Client other;
    other.client.SetServer(TimeServer{"10.1.2.3", 2013});
    other.client.RequestTimeSync(true);
    EXPECT_EQ(other.socket.connections[0].host, "10.1.2.3");
    EXPECT_EQ(other.socket.connections[0].port, 2013);
}

TEST(TimeSyncClient, RequestsGoThroughOnlyWhileTheSocketIsClosed) {
    Client c;
    c.client.RequestTimeSync(true);
    c.client.RequestTimeSync(true);
    EXPECT_EQ(c.socket.connections.size(), 1u);
    // Whatever the state, only a closed socket lets a request through.
    c.socket.closed = true;
    c.client.RequestTimeSync(false);
    EXPECT_EQ(c.socket.connections.size(), 2u);

    Client unknownServer;
    unknownServer.client.SetServer(std::nullopt);
    unknownServer.client.RequestTimeSync(true);
    EXPECT_TRUE(unknownServer.socket.connections.empty());

    TimeSyncClient inert(nullptr, nullptr);
    inert.RequestTimeSync(true);
    for (int i = 0; i < 3601; ++i) inert.Tick();
    EXPECT_EQ(inert.SyncTickCount(), 0);
}

TEST(TimeSyncClient, HourlyRequestOnThe3601stTickWithoutPrompting) {
    Client c;
    c.Ticks(3600);
    EXPECT_TRUE(c.socket.connections.empty());
    EXPECT_EQ(c.client.SyncTickCount(), 3600);
    c.Ticks(1);
    ASSERT_EQ(c.socket.connections.size(), 1u);
    EXPECT_EQ(c.client.SyncTickCount(), 0);
    c.socket.Deliver(kExample);
    ASSERT_EQ(c.setter.settings.size(), 1u);
    EXPECT_FALSE(c.setter.settings[0].interactive);

    // A pause of the timer keeps the count: 2000 ticks, a pause, 1601 more.
    c.Ticks(2000);
    c.Ticks(1600);
    EXPECT_EQ(c.socket.connections.size(), 1u);
    c.Ticks(1);
    EXPECT_EQ(c.socket.connections.size(), 2u);

    // A tick that finds the socket open still restarts the count; its request is dropped.
    c.Ticks(3601);
    EXPECT_EQ(c.socket.connections.size(), 2u);
    EXPECT_EQ(c.client.SyncTickCount(), 0);
}

TEST(TimeSyncClient, ARequestFromInsideTheClockSettingConnectsAgain) {
    Client c;
    c.setter.whileSetting = [&] { c.client.RequestTimeSync(true); };
    c.client.RequestTimeSync(true);
    c.socket.Deliver(kExample);
    EXPECT_EQ(c.socket.connections.size(), 2u);
    EXPECT_FALSE(c.socket.closed);
}

// The copy with administrator rights takes its offset from its one argument, which makes it
// that copy whatever its value, and answers through exit codes no other copy gives.
TEST(ElevatedClock, ArgumentAndExitCode) {
    for (std::int64_t offset : {0LL, 1234LL, -5LL, 33862544578454LL, -999999999999999LL})
        EXPECT_EQ(SetClockOffset(SetClockArguments(offset)), offset);
    for (const char* bad : {"--set-clock-by=1234", "--set-clock-by=+", "--set-clock-by=+12a",
                            "--set-clock-by=1e30", "--set-clock-by=+1000000000000000",
                            "--set-clock-by=+1 x", "--set-clock-by=-99999999999999999999"}) {
        EXPECT_TRUE(IsSetClockCommand(bad)) << bad;
        EXPECT_EQ(SetClockOffset(bad), std::nullopt) << bad;
    }
    for (const char* other : {"", " --set-clock-by=+1", "--set-clock=+1"})
        EXPECT_FALSE(IsSetClockCommand(other));
    using R = ClockRefusal;
    const std::pair<ClockSetResult, R> rows[] = {{{false, 7, R::NoRight}, R::NoRight},
                                                 {{false, 7, R::AutomaticSync}, R::Other},
                                                 {{false, 7, R::Other}, R::Other}};
    EXPECT_TRUE(FromSetClockExitCode(SetClockExitCode({true, 0}), 7).set);
    for (const auto& [result, read] : rows) {
        const ClockSetResult back = FromSetClockExitCode(SetClockExitCode(result), 7);
        EXPECT_TRUE(!back.set && back.refusal == read && back.movedMs == 7);
    }
    EXPECT_EQ(FromSetClockExitCode(int(SetClockExit::OutOfRange), 7).refusal, R::Other);
    // A plain second copy's 0, a failed start, still running when given up, a crash.
    for (unsigned long code : {0UL, 1UL, 259UL, 0xC0000005UL})
        EXPECT_EQ(FromSetClockExitCode(code, 7).refusal, R::NoAnswer) << code;
}

}  // namespace
}  // namespace tolvane::testing
