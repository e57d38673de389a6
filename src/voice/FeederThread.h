#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "base/UiThread.h"
#include "voice/SoundStream.h"

namespace tolvane {

// The feeder's ticks come this far apart.
inline constexpr int kFeederTickMs = 10;

// Announcements fed one after another on a std::thread of its own, made at the first Start;
// it waits without waking while nothing plays. What it reports goes back through the
// user-interface thread's event loop.
class FeederThread final : public SoundThread {
public:
    explicit FeederThread(UiThread& ui) : m_ui(ui) {}
    ~FeederThread() override;
    FeederThread(const FeederThread&) = delete;
    FeederThread& operator=(const FeederThread&) = delete;

    bool Start(std::function<bool(bool stop)> tick) override;
    void Stop() override;
    void Leave() override;
    void Post(std::function<void()> task) override { m_ui.Post(std::move(task)); }

private:
    void Run();

    UiThread& m_ui;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::function<bool(bool)> m_next;  // the run to start once the current one has ended
    bool m_stop = false;               // the current run is to end
    bool m_running = false;
    bool m_quit = false;
};

}  // namespace tolvane
