// The local time, and scheduled starts: each registration is a waitable timer set to resume
// the machine, whose expiry starts the program with "AppRunAtTime" in its command line. Task
// Scheduler time triggers would outlive the program, but Wine does not implement them; a
// timer lives as long as the process that set it.
#include "platform/clock.h"

#include <array>
#include <cwchar>

namespace plat {

namespace {

struct Registration {
    wchar_t program[MAX_PATH] = L"";
    HANDLE timer = nullptr;
    HANDLE wait = nullptr;
    volatile LONG started = 0;
};

// Registrations made and not yet let go; only the registering thread changes the table. A
// series keeps at most two pending (the next tick's and the one before it), so the table
// has room to spare; when it is full the registration fails, as any other would.
std::array<Registration, 16> registrations;

bool InUse(const Registration &registration) {
    return registration.timer != nullptr;
}

// Runs on a system wait thread when the timer expires.
void CALLBACK StartProgram(void *param, BOOLEAN) {
    auto *registration = static_cast<Registration *>(param);
    wchar_t commandLine[MAX_PATH + 16];
    std::wcscpy(commandLine, L"\"");
    std::wcscat(commandLine, registration->program);
    std::wcscat(commandLine, L"\" AppRunAtTime");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(registration->program, commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                         nullptr, &startup, &info)) {
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);
    }
    ::InterlockedExchange(&registration->started, 1);
}

void Release(Registration &registration) {
    if (registration.wait)
        ::UnregisterWaitEx(registration.wait, INVALID_HANDLE_VALUE); // lets a start finish
    if (registration.timer)
        ::CloseHandle(registration.timer);
    registration.wait = nullptr;
    registration.timer = nullptr;
    registration.started = 0;
}

// Registrations whose start has run are let go at the next registration, so that a long
// series holds only the few still to come.
void ReleaseStarted() {
    for (Registration &registration : registrations)
        if (InUse(registration) && registration.started)
            Release(registration);
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
    ReleaseStarted();
    LARGE_INTEGER due{};
    // A start that could never happen is refused now rather than lost later.
    if (!program || !when || std::wcslen(program) >= MAX_PATH ||
        ::GetFileAttributesW(program) == INVALID_FILE_ATTRIBUTES || !DueTime(when, &due))
        return FALSE;
    Registration *registration = nullptr;
    for (Registration &slot : registrations)
        if (!InUse(slot)) {
            registration = &slot;
            break;
        }
    if (!registration)
        return FALSE;
    std::wcscpy(registration->program, program);
    registration->timer = ::CreateWaitableTimerW(nullptr, TRUE, nullptr);
    // A time already past expires at once. Resuming is only asked for: a system that cannot
    // wake itself still runs the start when it is next awake.
    if (!registration->timer ||
        !::SetWaitableTimer(registration->timer, &due, 0, nullptr, nullptr, TRUE) ||
        !::RegisterWaitForSingleObject(&registration->wait, registration->timer, StartProgram,
                                       registration, INFINITE, WT_EXECUTEONLYONCE)) {
        Release(*registration);
        return FALSE;
    }
    return TRUE;
}

} // namespace plat
