#include "voice/FeederThread.h"

#include <chrono>
#include <system_error>
#include <utility>

namespace tolvane {

FeederThread::~FeederThread() {
    if (!m_thread.joinable()) return;
    {
        const std::lock_guard lock(m_mutex);
        m_next = nullptr;
        m_stop = m_quit = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

bool FeederThread::Start(std::function<bool(bool)> tick) {
    {
        const std::lock_guard lock(m_mutex);
        m_next = std::move(tick);
        m_stop = m_running;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) return true;
    try {
        m_thread = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        const std::lock_guard lock(m_mutex);
        m_next = nullptr;
        return false;
    }
    return true;
}

void FeederThread::Stop() {
    Leave();
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return !m_running; });
}

void FeederThread::Leave() {
    {
        const std::lock_guard lock(m_mutex);
        m_next = nullptr;
        m_stop = m_running;
    }
    m_wake.notify_all();
}

void FeederThread::Run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_quit || m_next; });
        if (m_quit) return;
        const std::function<bool(bool)> tick = std::move(m_next);
        m_next = nullptr;
        m_stop = false;
        m_running = true;
        for (;;) {
            const bool stop = m_stop;
            lock.unlock();
            const bool more = tick(stop) && !stop;
            if (more) {
                // A sleep, not a timed wait: a wait until an instant of the monotonic clock
                // never ends in a process whose clock is faked (libfaketime, in our tests).
                std::this_thread::sleep_for(std::chrono::milliseconds(kFeederTickMs));
            }
            lock.lock();
            if (!more) break;
        }
        m_running = false;
        m_wake.notify_all();
    }
}

}  // namespace tolvane
