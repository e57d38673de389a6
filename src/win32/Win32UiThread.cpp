#include "win32/Win32UiThread.h"

#include "win32/MessageWindow.h"

namespace tolvane {
namespace {

constexpr UINT kRunPosted = WM_APP + 1;

}  // namespace

Win32UiThread::Win32UiThread() {
    m_window = CreateMessageWindow(L"TolvaneUiThread", &WindowProc, this);
}

Win32UiThread::~Win32UiThread() {
    if (m_window != nullptr) DestroyWindow(m_window);
}

void Win32UiThread::Post(std::function<void()> task) {
    {
        const std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    if (m_window != nullptr) PostMessageW(m_window, kRunPosted, 0, 0);
}

void Win32UiThread::RunPosted() {
    for (;;) {
        std::function<void()> task;
        {
            const std::lock_guard lock(m_mutex);
            if (m_tasks.empty()) return;
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
        }
        task();
    }
}

LRESULT CALLBACK Win32UiThread::WindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    auto* self = reinterpret_cast<Win32UiThread*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && message == kRunPosted) {
        self->RunPosted();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tolvane
