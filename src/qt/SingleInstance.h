#pragma once

#include <string>

namespace tolvane {

// The per-user marker of a running copy: an exclusive lock on a file named after the main
// window's title, held until the process ends. Two copies started in the same instant cannot
// both take it.
class SingleInstance {
public:
    // The marker lives in $XDG_RUNTIME_DIR, else in a private folder under `fallbackRoot`.
    explicit SingleInstance(const std::string& title, const std::string& fallbackRoot = "/tmp");
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False only when another copy holds the marker. When no marker can be made at all the
    // program runs rather than refusing to start.
    bool IsFirst() const { return m_first; }

private:
    int m_fd = -1;
    bool m_first = true;
};

}  // namespace tolvane
