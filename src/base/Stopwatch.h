#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace tolvane {

// Milliseconds since Start on the monotonic clock, so a clock setting meanwhile does not count;
// 0 when stopped.
class Stopwatch {
public:
    void Start() { m_start = std::chrono::steady_clock::now(); }
    void Stop() { m_start.reset(); }
    std::int64_t ElapsedMs() const {
        if (!m_start) return 0;
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - *m_start)
            .count();
    }

private:
    std::optional<std::chrono::steady_clock::time_point> m_start;
};

}  // namespace tolvane
