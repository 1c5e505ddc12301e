// The local time, and scheduled starts. As on the handheld, a program has at most one start
// pending: registering it again replaces the pending one. The local time asked for is taken as
// an interval from the local time now, read the same way, and set as a relative timer: no change
// of the clock or of its daylight saving moves it. Each program gets a waitable timer set to
// resume the machine; while any start is pending, a thread of the platform's own waits for the
// starts and runs each at its time, whatever the registering thread is doing (a long play, a
// modal loop), and ends when none is left. Task Scheduler time triggers would outlive the
// program, but Wine does not implement them; a timer lives as long as the process that set it.
#include "platform/clock.h"
#include "platform/text.h"
#include "platform/win32/win32_internal.h"

#include <algorithm>
#include <array>

namespace plat {

namespace {

struct ScheduledProgram {
    wchar_t path[MAX_PATH] = L"";
    HANDLE timer = nullptr; // resumes the machine at the start's time
    ULONGLONG due = 0;      // GetTickCount64() at which the start is due; 0: none pending
};

constexpr ULONGLONG TicksPerMillisecond = 10000;
// The waiter's stack: it calls nothing deeper than CreateProcessW.
constexpr SIZE_T WaiterStack = 64 * 1024;

// One entry per program, kept for the life of the process, so that a program registering
// again, however often, reuses its own. All of it is guarded by `lock`; `waiting` says that the
// waiter thread runs, and `changed` wakes it when a start is registered.
std::array<ScheduledProgram, 8> programs;
SRWLOCK lock = SRWLOCK_INIT;
bool waiting = false;
HANDLE changed = nullptr;

void StartProgram(const wchar_t *path) {
    wchar_t commandLine[MAX_PATH + 16] = L"";
    if (!Append(commandLine, L"\"") || !Append(commandLine, path) ||
        !Append(commandLine, L"\" AppRunAtTime"))
        return;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(path, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                         &info)) {
        ::CloseHandle(info.hThread); // nothing to wait for
        ::CloseHandle(info.hProcess);
    }
}

// Runs the starts as they fall due and ends with the last. The decision is the tick count's, under
// the lock, so that a timer expiry that a new registration overtook starts nothing; the timers
// are waited for as well, for the moment the machine resumes.
DWORD WINAPI WaitForStarts(void *) {
    ::AcquireSRWLockExclusive(&lock);
    for (;;) {
        std::array<HANDLE, programs.size() + 1> handles{changed};
        DWORD count = 1;
        std::array<wchar_t[MAX_PATH], programs.size()> dueNow;
        size_t starting = 0;
        const ULONGLONG now = ::GetTickCount64();
        ULONGLONG next = ~0ull;
        for (ScheduledProgram &entry : programs) {
            if (entry.due && entry.due <= now) {
                entry.due = 0;
                starting += Copy(dueNow[starting], entry.path);
            } else if (entry.due) {
                handles[count++] = entry.timer;
                next = std::min(next, entry.due);
            }
        }
        if (!starting && count == 1) {
            waiting = false;
            ::ReleaseSRWLockExclusive(&lock);
            return 0;
        }
        ::ReleaseSRWLockExclusive(&lock);
        for (size_t k = 0; k < starting; ++k)
            StartProgram(dueNow[k]);
        if (count > 1)
            ::WaitForMultipleObjects(count, handles.data(), FALSE, DWORD(next - now));
        ::AcquireSRWLockExclusive(&lock);
    }
}

// The program's entry, made on its first registration; null when the table is full. Paths
// that differ only in letter case name the same program, as they name the same file.
ScheduledProgram *EntryFor(LPCWSTR path) {
    ScheduledProgram *unused = nullptr;
    for (ScheduledProgram &entry : programs) {
        if (entry.timer && ::CompareStringOrdinal(entry.path, -1, path, -1, TRUE) == CSTR_EQUAL)
            return &entry;
        if (!entry.timer && !unused)
            unused = &entry;
    }
    // A path that does not fit is refused, never cut: a cut one would start another program.
    if (!unused || !Copy(unused->path, path))
        return nullptr;
    unused->timer = ::CreateWaitableTimerW(nullptr, FALSE, nullptr);
    return unused->timer ? unused : nullptr;
}

// Registers the start `delay` ms from now, under the lock; the waiter is started when none runs.
bool Schedule(LPCWSTR program, ULONGLONG delay) {
    if (!changed && !(changed = ::CreateEventW(nullptr, FALSE, FALSE, nullptr)))
        return false;
    ScheduledProgram *entry = EntryFor(program);
    LARGE_INTEGER due{};
    due.QuadPart = -static_cast<LONGLONG>(std::max<ULONGLONG>(delay, 1) * TicksPerMillisecond);
    // Setting the timer again replaces its pending expiry. Resuming is only asked for: a system
    // that cannot wake itself still runs the start when it is next awake.
    if (!entry || !::SetWaitableTimer(entry->timer, &due, 0, nullptr, nullptr, TRUE))
        return false;
    if (!waiting) {
        win32::ScopedHandle waiter(::CreateThread(nullptr, WaiterStack, WaitForStarts, nullptr,
                                                  STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
        if (!waiter) {
            ::CancelWaitableTimer(entry->timer);
            return false;
        }
        waiting = true;
    }
    entry->due = ::GetTickCount64() + delay;
    entry->due += !entry->due; // 0 means none pending
    ::SetEvent(changed);
    return true;
}

// Milliseconds from a fixed day to the time the fields of `time` say, in no zone; false for a
// field out of range.
bool FieldMilliseconds(const SYSTEMTIME &time, LONGLONG *milliseconds) {
    static constexpr int monthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int year = time.wYear, month = time.wMonth;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (year < 1601 || month < 1 || month > 12 || time.wDay < 1 ||
        time.wDay > monthDays[month - 1] + (leap && month == 2) || time.wHour > 23 ||
        time.wMinute > 59 || time.wSecond > 59 || time.wMilliseconds > 999)
        return false;
    // Days since 1 March of year 0 (a year from March on puts the leap day last).
    const int y = year - (month <= 2), shifted = month > 2 ? month - 3 : month + 9;
    const LONGLONG days =
        365LL * y + y / 4 - y / 100 + y / 400 + (153 * shifted + 2) / 5 + time.wDay - 1;
    *milliseconds = ((days * 24 + time.wHour) * 60 + time.wMinute) * 60000LL +
                    time.wSecond * 1000LL + time.wMilliseconds;
    return true;
}

} // namespace

namespace win32 {

bool LocalInterval(const SYSTEMTIME &from, const SYSTEMTIME &to, LONGLONG *milliseconds) {
    LONGLONG start = 0, end = 0;
    if (!FieldMilliseconds(from, &start) || !FieldMilliseconds(to, &end))
        return false;
    *milliseconds = end - start;
    return true;
}

} // namespace win32

void GetLocalTime(SYSTEMTIME *now) {
    ::GetLocalTime(now);
}

BOOL CeRunAppAtTime(LPCWSTR program, const SYSTEMTIME *when) {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    LONGLONG delay = 0;
    // A start that could never happen is refused now rather than lost later; a time already
    // past is started at once.
    if (!program || !when || ::GetFileAttributesW(program) == INVALID_FILE_ATTRIBUTES ||
        !win32::LocalInterval(now, *when, &delay))
        return FALSE;
    ::AcquireSRWLockExclusive(&lock);
    bool scheduled = Schedule(program, static_cast<ULONGLONG>(std::max<LONGLONG>(delay, 0)));
    ::ReleaseSRWLockExclusive(&lock);
    return scheduled;
}

} // namespace plat
