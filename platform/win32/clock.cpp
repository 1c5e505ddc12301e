// The local time, and scheduled starts. As on the handheld, a program has at most one start
// pending: registering it again replaces the pending one. Each program gets a waitable timer
// set to resume the machine, and each expiry starts the program with "AppRunAtTime" in its
// command line. Task Scheduler time triggers would outlive the program, but Wine does not
// implement them; a timer lives as long as the process that set it.
#include "platform/clock.h"
#include "platform/win32/win32_internal.h"

#include <array>
#include <cwchar>

namespace plat {

namespace {

struct ScheduledProgram {
    wchar_t path[MAX_PATH] = L"";
    HANDLE timer = nullptr; // resets when its expiry has been waited for
    bool pending = false;   // an expiry is still to come
};

// One entry per program, kept for the life of the process, so that a program registering
// again, however often, reuses its own. The thread that registers also waits for the pending
// starts, in its message loop (see plat::GetMessageW): no thread of its own, whose memory
// Wine keeps after it ends, and no wait pool, which keeps its threads for the life of the
// process.
std::array<ScheduledProgram, 8> programs;

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
    if (!entry || !::SetWaitableTimer(entry->timer, &due, 0, nullptr, nullptr, TRUE))
        return FALSE;
    entry->pending = true;
    return TRUE;
}

namespace win32 {

bool AwaitInputOrStart() {
    std::array<HANDLE, programs.size()> timers{};
    std::array<ScheduledProgram *, programs.size()> owners{};
    DWORD count = 0;
    for (ScheduledProgram &entry : programs)
        if (entry.pending) {
            owners[count] = &entry;
            timers[count++] = entry.timer;
        }
    if (!count)
        return false;
    DWORD result = ::MsgWaitForMultipleObjectsEx(count, timers.data(), INFINITE, QS_ALLINPUT,
                                                 MWMO_INPUTAVAILABLE);
    if (result == WAIT_FAILED)
        return false; // no busy loop: the plain wait, and the start with a later wait
    DWORD which = result - WAIT_OBJECT_0;
    if (which < count) {
        // Waiting reset the timer; setting it again meanwhile would have cleared its expiry.
        owners[which]->pending = false;
        StartProgram(owners[which]);
    }
    return true;
}

} // namespace win32

} // namespace plat
