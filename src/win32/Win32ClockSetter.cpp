#include "win32/Win32ClockSetter.h"

#include <shellapi.h>

#include <string>

#include "timesync/ElevatedClock.h"
#include "win32/MessageWindow.h"
#include "win32/TextConversion.h"

namespace tolvane {
namespace {

constexpr wchar_t kWindowClass[] = L"TolvaneClockSetter";
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollMs = 100;
constexpr int kMaxPolls = 300;  // the copy only sets the clock; 30 s is plenty

std::int64_t FileTimeMs(const FILETIME& time) {
    return static_cast<std::int64_t>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) |
                                     time.dwLowDateTime) /
           10000;
}

// The system converts with the daylight-saving state of the clock it replaces: where the new
// time lies in the other state, the first call lands an hour off and a second one, made in the
// new state, lands right.
ClockSetResult SetLocalTimeTwiceIfNeeded(const SYSTEMTIME& time, std::int64_t movedMs) {
    TIME_ZONE_INFORMATION zone{};
    const DWORD before = GetTimeZoneInformation(&zone);
    if (!SetLocalTime(&time)) {
        return {false, movedMs,
                GetLastError() == ERROR_PRIVILEGE_NOT_HELD ? ClockRefusal::NoRight
                                                           : ClockRefusal::Other};
    }
    if (GetTimeZoneInformation(&zone) != before) SetLocalTime(&time);
    return {true, movedMs};
}

// The record's local time and its offset from now; false where the system cannot place it.
bool Place(const ClockRecord& record, SYSTEMTIME& local, std::int64_t& offsetMs) {
    local = {record.year, record.month,  record.dayOfWeek, record.day,
             record.hour, record.minute, record.second,    record.milliseconds};
    SYSTEMTIME utc = local;
    if (record.utc) {
        if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return false;
    } else if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc)) {
        return false;
    }
    FILETIME target{};
    FILETIME now{};
    if (!SystemTimeToFileTime(&utc, &target)) return false;
    GetSystemTimeAsFileTime(&now);
    offsetMs = FileTimeMs(target) - FileTimeMs(now);
    return true;
}

// The local time the clock would read moved by `offsetMs` from now; nothing where the system's
// time cannot go. Both sides of the copy with rights ask this: the program before it asks for
// them, the copy before it sets anything.
std::optional<SYSTEMTIME> LocalTimeAfter(std::int64_t offsetMs) {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const std::int64_t targetMs = FileTimeMs(now) + offsetMs;
    if (targetMs <= 0) return std::nullopt;
    const ULONGLONG ticks = static_cast<ULONGLONG>(targetMs) * 10000;
    const FILETIME target{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    if (!FileTimeToSystemTime(&target, &utc) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
        return std::nullopt;
    }
    return local;
}

std::wstring ThisProgram() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) return path.substr(0, length);
        path.resize(path.size() * 2);
    }
}

}  // namespace

Win32ClockSetter::~Win32ClockSetter() {
    if (m_process != nullptr) CloseHandle(m_process);
    if (m_window != nullptr) DestroyWindow(m_window);
}

void Win32ClockSetter::SetClock(const ClockRecord& record, bool, ClockSetDone done) {
    SYSTEMTIME time{};
    std::int64_t movedMs = 0;
    if (!Place(record, time, movedMs)) return done({});
    done(SetLocalTimeTwiceIfNeeded(time, movedMs));
}

std::optional<std::int64_t> Win32ClockSetter::OffsetOf(const ClockRecord& record) {
    SYSTEMTIME time{};
    std::int64_t offsetMs = 0;
    if (!Place(record, time, offsetMs)) return std::nullopt;
    return offsetMs;
}

void Win32ClockSetter::SetClockElevated(std::int64_t offsetMs, ClockSetDone done) {
    // Refused before anyone is asked for rights that could not help.
    if (m_process != nullptr || !LocalTimeAfter(offsetMs)) {
        return done({false, offsetMs, ClockRefusal::Other});
    }
    if (m_window == nullptr) {
        m_window = CreateMessageWindow(kWindowClass, &Win32ClockSetter::WindowProc, this);
        if (m_window == nullptr) return done({false, offsetMs, ClockRefusal::Other});
    }
    const std::wstring program = ThisProgram();
    const std::wstring arguments = Utf8ToWide(SetClockArguments(offsetMs));
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"runas";
    info.lpFile = program.c_str();
    info.lpParameters = arguments.c_str();
    info.nShow = SW_HIDE;
    // Returns once the user has answered the system's prompt.
    if (program.empty() || !ShellExecuteExW(&info) || info.hProcess == nullptr) {
        return done(
            {false, offsetMs,
             GetLastError() == ERROR_CANCELLED ? ClockRefusal::Declined : ClockRefusal::Other});
    }
    m_process = info.hProcess;
    m_offsetMs = offsetMs;
    m_done = std::move(done);
    m_polls = 0;
    SetTimer(m_window, kPollTimer, kPollMs, nullptr);
}

LRESULT CALLBACK Win32ClockSetter::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    auto* self = reinterpret_cast<Win32ClockSetter*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr || message != WM_TIMER || wParam != kPollTimer) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    self->Poll();
    return 0;
}

void Win32ClockSetter::Poll() {
    DWORD code = STILL_ACTIVE;
    if (!GetExitCodeProcess(m_process, &code)) code = ~DWORD{0};
    if (code == STILL_ACTIVE && ++m_polls < kMaxPolls) return;
    KillTimer(m_window, kPollTimer);
    CloseHandle(m_process);
    m_process = nullptr;
    const ClockSetDone done = std::move(m_done);
    m_done = nullptr;
    done(FromSetClockExitCode(code, m_offsetMs));
}

int SetClockByArguments(std::string_view arguments) {
    const std::optional<std::int64_t> offset = SetClockOffset(arguments);
    const std::optional<SYSTEMTIME> local = offset ? LocalTimeAfter(*offset) : std::nullopt;
    if (!local) return static_cast<int>(SetClockExit::OutOfRange);
    return SetClockExitCode(SetLocalTimeTwiceIfNeeded(*local, *offset));
}

}  // namespace tolvane
