// Measures the Linux time-sync path as the program runs it (QtTimeSocket and TimeSyncClient on
// one Qt event loop): how long the user-interface thread is busy with each event while a sync
// is under way (the request itself counts as one), and the time from the request to the clock
// setting, and how far the time asked for lies from this computer's clock (error_ms; the
// error against a server that keeps the same clock, such as xinetd beside it).
//
// Usage: timesync_probe_qt HOST PORT ROUNDS   (one line of figures in ms per round)
#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "qt/QtTimeSocket.h"
#include "timesync/TimeSyncClient.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Times every event the loop hands out (nested ones count within the outer one).
class TimingApplication final : public QCoreApplication {
public:
    using QCoreApplication::QCoreApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        if (m_depth++ > 0) return Finish(QCoreApplication::notify(receiver, event), {});
        const Clock::time_point start = Clock::now();
        return Finish(QCoreApplication::notify(receiver, event), start);
    }

    void Count(double ms) {
        longest = std::max(longest, ms);
        total += ms;
        ++events;
    }

    double longest = 0;
    double total = 0;
    int events = 0;

private:
    bool Finish(bool result, Clock::time_point start) {
        if (--m_depth == 0) Count(Ms(Clock::now() - start));
        return result;
    }
    int m_depth = 0;
};

class StampingSetter final : public tolvane::ClockSetter {
public:
    void SetClock(const tolvane::ClockRecord& r, bool, tolvane::ClockSetDone) override {
        setAt = Clock::now();
        const QDateTime asked(QDate(r.year, r.month, r.day),
                              QTime(r.hour, r.minute, r.second, r.milliseconds),
                              r.utc ? Qt::UTC : Qt::LocalTime);
        errorMs = asked.toMSecsSinceEpoch() - QDateTime::currentMSecsSinceEpoch();
        if (loop != nullptr) loop->quit();
    }
    // Only the setting is measured: the system keeps no time of its own here.
    void ReadSystemTimeSync(std::function<void(tolvane::SystemTimeSync)> done) override {
        done(tolvane::SystemTimeSync::Off);
    }
    std::optional<std::int64_t> OffsetOf(const tolvane::ClockRecord&) override { return 0; }
    bool CanElevate() override { return false; }
    void SetClockElevated(std::int64_t, tolvane::ClockSetDone) override {}
    Clock::time_point setAt{};
    qint64 errorMs = 0;
    QEventLoop* loop = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    TimingApplication app(argc, argv);
    if (argc < 4) return 2;
    tolvane::QtTimeSocket socket;
    StampingSetter setter;
    tolvane::TimeSyncClient client(&socket, &setter);
    client.SetServer(tolvane::TimeServer{argv[1], static_cast<std::uint16_t>(std::atoi(argv[2]))});

    for (int round = 0, rounds = std::atoi(argv[3]); round < rounds; ++round) {
        QEventLoop loop;
        setter.loop = &loop;
        setter.setAt = {};
        QTimer::singleShot(15000, &loop, &QEventLoop::quit);
        app.longest = app.total = 0;
        app.events = 0;
        const Clock::time_point requested = Clock::now();
        client.RequestTimeSync(true);
        app.Count(Ms(Clock::now() - requested));
        loop.exec();
        const double toSet =
            setter.setAt == Clock::time_point{} ? -1 : Ms(setter.setAt - requested);
        std::printf(
            "request_to_set_ms=%.3f longest_busy_ms=%.3f total_busy_ms=%.3f events=%d "
            "error_ms=%lld\n",
            toSet, app.longest, app.total, app.events, static_cast<long long>(setter.errorMs));
        std::fflush(stdout);
        // Let the closed connection settle before the next round.
        QEventLoop pause;
        QTimer::singleShot(20, &pause, &QEventLoop::quit);
        pause.exec();
    }
    return 0;
}
