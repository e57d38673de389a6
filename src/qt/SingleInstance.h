#pragma once

#include <string>

namespace tolvane {

// The per-user marker of a running copy: an exclusive lock on a file named after the main
// window's title, held until the process ends. Two copies started in the same instant cannot
// both take it.
class SingleInstance {
public:
    // The marker lives in $XDG_RUNTIME_DIR; when no marker can be used there (no such folder,
    // not writable, something other than a file of ours at the marker's path, a full disk) it
    // lives in a private folder under `fallbackRoot`.
    explicit SingleInstance(const std::string& title, const std::string& fallbackRoot = "/tmp");
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False only when another copy holds the marker. When no marker can be made at all the
    // program runs rather than refusing to start.
    bool IsFirst() const { return m_first; }
    // The marker this copy holds; empty when it holds none.
    const std::string& LockPath() const { return m_path; }
    // The marker another copy holds, when IsFirst() is false.
    const std::string& HeldPath() const { return m_heldPath; }

private:
    enum class Outcome { Locked, Held, Unusable };
    Outcome TryLock(const std::string& path);

    int m_fd = -1;
    bool m_first = true;
    std::string m_path;
    std::string m_heldPath;
};

}  // namespace tolvane
