// Stands in for the program at a scheduled start: appends the system time it started, in
// milliseconds, and its whole command line to "<own path>.log", then ends.
#include <windows.h>

#include <cstdio>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    wchar_t path[MAX_PATH + 8] = L"";
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    FILE *log = length && length < MAX_PATH ? _wfopen(wcscat(path, L".log"), L"a") : nullptr;
    if (!log)
        return 1;
    fwprintf(log, L"%llu|%ls\n", (ULONGLONG{now.dwHighDateTime} << 32 | now.dwLowDateTime) / 10000,
             ::GetCommandLineW());
    return fclose(log) == 0 ? 0 : 1;
}
