// The local time, and scheduled starts. As on the handheld, a program has at most one start
// pending: registering it again replaces the pending one. Each program gets a waitable timer
// set to resume the machine, and each expiry starts the program with "AppRunAtTime" in its
// command line. Task Scheduler time triggers would outlive the program, but Wine does not
// implement them; a timer lives as long as the process that set it.
#include "platform/clock.h"

#include <array>
#include <cwchar>

namespace plat {

namespace {

struct ScheduledProgram {
    wchar_t path[MAX_PATH] = L"";
    HANDLE timer = nullptr; // resets when its expiry has been waited for
    // Under `lock`: whether an expiry is still to come, and the last time asked (UTC).
    bool pending = false;
    LONGLONG due = 0;
};

// One entry per program, kept for the life of the process, so that a program registering
// again, however often, reuses its own. Only the registering thread adds entries; the waiter
// reads an entry only once it is pending, which is after its path and timer are written.
std::array<ScheduledProgram, 8> programs;

// The pending starts are waited for on one small thread of the platform's own, which ends
// once none is pending (a series' last wake-up has passed) and is made again by the next
// registration. The system's wait pool would keep its threads, and their memory, for the
// life of the process. The event tells the waiter that the table changed.
constexpr SIZE_T WaiterStack = 64 * 1024;
SRWLOCK lock = SRWLOCK_INIT;
HANDLE tableChanged;
bool waiterRuns; // under `lock`

void StartProgram(const ScheduledProgram *program) {
    wchar_t commandLine[MAX_PATH + 16];
    std::wcscpy(commandLine, L"\"");
    std::wcscat(commandLine, program->path);
    std::wcscat(commandLine, L"\" AppRunAtTime");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(program->path, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &info)) {
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);
    }
}

DWORD WINAPI WaitForStarts(void *) {
    for (;;) {
        std::array<HANDLE, programs.size() + 1> handles{tableChanged};
        std::array<ScheduledProgram *, programs.size() + 1> owners{};
        DWORD count = 1;
        ::AcquireSRWLockExclusive(&lock);
        for (ScheduledProgram &entry : programs)
            if (entry.pending) {
                owners[count] = &entry;
                handles[count++] = entry.timer;
            }
        waiterRuns = count > 1;
        ::ReleaseSRWLockExclusive(&lock);
        if (count == 1)
            return 0;
        DWORD which =
            ::WaitForMultipleObjects(count, handles.data(), FALSE, INFINITE) - WAIT_OBJECT_0;
        if (which >= count)
            return 1; // cannot happen with valid handles; the next registration starts anew
        if (which == 0)
            continue;
        FILETIME now{};
        ::GetSystemTimeAsFileTime(&now);
        ::AcquireSRWLockExclusive(&lock);
        // Set again meanwhile for a later time: that expiry is still to come.
        if (static_cast<LONGLONG>(
                ULARGE_INTEGER{{now.dwLowDateTime, now.dwHighDateTime}}.QuadPart) >=
            owners[which]->due)
            owners[which]->pending = false;
        ::ReleaseSRWLockExclusive(&lock);
        StartProgram(owners[which]);
    }
}

// Marks the entry's start as pending, with a waiter for it.
bool AwaitStart(ScheduledProgram *entry, LONGLONG due) {
    ::AcquireSRWLockExclusive(&lock);
    entry->pending = true;
    entry->due = due;
    bool running = waiterRuns;
    if (!running) {
        HANDLE waiter = ::CreateThread(nullptr, WaiterStack, WaitForStarts, nullptr,
                                       STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
        if (waiter)
            ::CloseHandle(waiter);
        running = waiterRuns = waiter != nullptr;
    }
    ::ReleaseSRWLockExclusive(&lock);
    ::SetEvent(tableChanged);
    return running;
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
    if (!unused)
        return nullptr;
    if (!tableChanged && !(tableChanged = ::CreateEventW(nullptr, FALSE, FALSE, nullptr)))
        return nullptr;
    HANDLE timer = ::CreateWaitableTimerW(nullptr, FALSE, nullptr);
    if (!timer)
        return nullptr;
    std::wcscpy(unused->path, path);
    unused->timer = timer;
    return unused;
}

bool DueTime(const SYSTEMTIME *localTime, LARGE_INTEGER *due) {
    SYSTEMTIME universal{};
    FILETIME file{};
    if (!::TzSpecificLocalTimeToSystemTime(nullptr, localTime, &universal) ||
        !::SystemTimeToFileTime(&universal, &file))
        return false;
    due->LowPart = file.dwLowDateTime;
    due->HighPart = static_cast<LONG>(file.dwHighDateTime);
    return true;
}

} // namespace

void GetLocalTime(SYSTEMTIME *now) {
    ::GetLocalTime(now);
}

BOOL CeRunAppAtTime(LPCWSTR program, const SYSTEMTIME *when) {
    LARGE_INTEGER due{};
    // A start that could never happen is refused now rather than lost later.
    if (!program || !when || std::wcslen(program) >= MAX_PATH ||
        ::GetFileAttributesW(program) == INVALID_FILE_ATTRIBUTES || !DueTime(when, &due))
        return FALSE;
    ScheduledProgram *entry = EntryFor(program);
    // Setting the timer again replaces its pending expiry; a time already past expires at
    // once. Resuming is only asked for: a system that cannot wake itself still runs the start
    // when it is next awake.
    return entry && ::SetWaitableTimer(entry->timer, &due, 0, nullptr, nullptr, TRUE) &&
           AwaitStart(entry, due.QuadPart);
}

} // namespace plat
