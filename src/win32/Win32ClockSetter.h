#pragma once

#include <windows.h>

#include <string_view>

#include "timesync/ClockSetter.h"

namespace tolvane {

// SetLocalTime with the record (a UTC record turned into local time first), answered at once.
// Where that needs rights this process lacks, the program itself is started again with them
// (the "runas" verb: the system asks the user) in its one-shot mode, and its exit code answers.
class Win32ClockSetter final : public ClockSetter {
public:
    Win32ClockSetter() = default;
    ~Win32ClockSetter() override;
    Win32ClockSetter(const Win32ClockSetter&) = delete;
    Win32ClockSetter& operator=(const Win32ClockSetter&) = delete;

    void SetClock(const ClockRecord& record, bool interactive, ClockSetDone done) override;
    void ReadSystemTimeSync(std::function<void(SystemTimeSync)> done) override {
        done(SystemTimeSync::Off);
    }
    std::optional<std::int64_t> OffsetOf(const ClockRecord& record) override;
    bool CanElevate() override { return true; }
    void SetClockElevated(std::int64_t offsetMs, ClockSetDone done) override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Poll();

    HWND m_window = nullptr;
    HANDLE m_process = nullptr;  // the copy with rights, while it runs
    int m_polls = 0;
    std::int64_t m_offsetMs = 0;
    ClockSetDone m_done;
};

// The one-shot mode, for arguments IsSetClockCommand takes: moves this computer's clock by the
// offset they carry and gives the exit code that reports it.
int SetClockByArguments(std::string_view arguments);

}  // namespace tolvane
