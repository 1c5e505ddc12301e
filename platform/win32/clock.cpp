// The local time, and scheduled starts: each registration is a waitable timer set to resume
// the machine, whose expiry starts the program with "AppRunAtTime" in its command line. Task
// Scheduler time triggers would outlive the program, but Wine does not implement them; a
// timer lives as long as the process that set it.
#include "platform/clock.h"

#include <string>
#include <vector>

namespace plat {

namespace {

struct Registration {
    std::wstring program;
    HANDLE timer = nullptr;
    HANDLE wait = nullptr;
    volatile LONG started = 0;
};

// Registrations made and not yet let go; only the registering thread touches the list.
std::vector<Registration *> registrations;

// Runs on a system wait thread when the timer expires.
void CALLBACK StartProgram(void *param, BOOLEAN) {
    auto *registration = static_cast<Registration *>(param);
    std::wstring text = L"\"" + registration->program + L"\" AppRunAtTime";
    std::vector<wchar_t> commandLine(text.begin(), text.end());
    commandLine.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(registration->program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                         0, nullptr, nullptr, &startup, &info)) {
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);
    }
    ::InterlockedExchange(&registration->started, 1);
}

void Release(Registration *registration) {
    if (registration->wait)
        ::UnregisterWaitEx(registration->wait, INVALID_HANDLE_VALUE); // lets a start finish
    if (registration->timer)
        ::CloseHandle(registration->timer);
    delete registration;
}

// Registrations whose start has run are let go at the next registration, so that a long
// series holds only the few still to come.
void ReleaseStarted() {
    std::erase_if(registrations, [](Registration *registration) {
        if (!registration->started)
            return false;
        Release(registration);
        return true;
    });
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
    if (!program || !when || ::GetFileAttributesW(program) == INVALID_FILE_ATTRIBUTES ||
        !DueTime(when, &due))
        return FALSE;
    auto *registration = new Registration;
    registration->program = program;
    registration->timer = ::CreateWaitableTimerW(nullptr, TRUE, nullptr);
    // A time already past expires at once. Resuming is only asked for: a system that cannot
    // wake itself still runs the start when it is next awake.
    if (!registration->timer ||
        !::SetWaitableTimer(registration->timer, &due, 0, nullptr, nullptr, TRUE) ||
        !::RegisterWaitForSingleObject(&registration->wait, registration->timer, StartProgram,
                                       registration, INFINITE, WT_EXECUTEONLYONCE)) {
        Release(registration);
        return FALSE;
    }
    registrations.push_back(registration);
    return TRUE;
}

} // namespace plat
