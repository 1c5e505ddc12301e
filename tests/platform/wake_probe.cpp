// Stands in for the program at a scheduled start: appends its local start time and its whole
// command line to "<own path>.log", then ends.
#include <windows.h>

#include <cstdio>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    wchar_t path[MAX_PATH + 8] = L"";
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    wcscat(path, L".log");
    FILE *log = _wfopen(path, L"a");
    if (!log)
        return 1;
    fwprintf(log, L"%04u-%02u-%02u %02u:%02u:%02u.%03u|%ls\n", now.wYear, now.wMonth, now.wDay,
             now.wHour, now.wMinute, now.wSecond, now.wMilliseconds, ::GetCommandLineW());
    return fclose(log) == 0 ? 0 : 1;
}
