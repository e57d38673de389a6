#pragma once

#include <windows.h>

#include <deque>
#include <mutex>

#include "base/UiThread.h"

namespace tolvane {

// Tasks handed to a message-only window of the user-interface thread, run by its message loop.
class Win32UiThread final : public UiThread {
public:
    Win32UiThread();
    ~Win32UiThread() override;
    Win32UiThread(const Win32UiThread&) = delete;
    Win32UiThread& operator=(const Win32UiThread&) = delete;

    void Post(std::function<void()> task) override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void RunPosted();

    HWND m_window = nullptr;
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_tasks;
};

}  // namespace tolvane
