// Prints the median time from starting a program to its first visible top-level window:
// startup_time RUNS PROGRAM [ARGUMENTS]   (RUNS negative: every time instead)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD process;
    bool found;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM param) {
    auto *search = reinterpret_cast<Search *>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process && IsWindowVisible(window)) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: startup_time RUNS PROGRAM [ARGUMENTS]\n");
        return 2;
    }
    // A negative count prints every time, one a line, for pooling.
    int runs = _wtoi(argv[1]);
    bool every = runs < 0;
    runs = every ? -runs : runs;
    std::wstring commandLine = L"\"" + std::wstring(argv[2]) + L"\"";
    for (int i = 3; i < argc; ++i)
        commandLine += L" " + std::wstring(argv[i]);
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        std::vector<wchar_t> text(commandLine.begin(), commandLine.end());
        text.push_back(0);
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        if (!CreateProcessW(argv[2], text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &info))
            return 1;
        Search search{info.dwProcessId, false};
        for (;;) {
            EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
            if (search.found || WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0)
                break;
            Sleep(1);
        }
        QueryPerformanceCounter(&end);
        if (search.found)
            times.push_back(Seconds(start, end) * 1000);
        TerminateProcess(info.hProcess, 0);
        WaitForSingleObject(info.hProcess, 5000);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
        Sleep(200);
    }
    if (times.empty())
        return 1;
    if (every) {
        for (double time : times)
            std::printf("%.2f\n", time);
        return 0;
    }
    std::sort(times.begin(), times.end());
    std::printf("%.1f\n", times[times.size() / 2]);
    return 0;
}
