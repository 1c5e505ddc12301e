// Watches the device from outside the program and writes each change it sees, with the Unix
// time in milliseconds at which it saw it, one line each, to OUT:
//
//   observe.exe OUT [MS]      (runs MS milliseconds, or until it is ended)
//
//   1765000000123.4 program hidden|visible|gone   Nudgebell+'s main window
//   1765000000123.4 reminder opened TITLE|closed   a reminder window (class "Dialog")
//   1765000000123.4 language N|none                the stored Language setting
//   1765000000123.4 volume 0xXXXXXXXX|none         the system volume mirror
//
// The two registry values are followed by change notifications, so a write is seen within a
// millisecond or so; the windows are looked at every 10 ms. The demonstration and the replay
// benchmark build their timelines from these lines.
#include "tools/reminder/titles.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>

namespace {

constexpr DWORD WindowPeriod = 10;

HANDLE out;

double UnixMilliseconds() {
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    uint64_t ticks = (uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return double(ticks - 116444736000000000ull) / 10000.0;
}

void Write(const wchar_t *event) {
    wchar_t line[160];
    swprintf(line, 160, L"%.1f %ls\n", UnixMilliseconds(), event);
    char bytes[480];
    int size = WideCharToMultiByte(CP_UTF8, 0, line, -1, bytes, sizeof bytes, nullptr, nullptr);
    DWORD written = 0;
    if (size > 1)
        WriteFile(out, bytes, static_cast<DWORD>(size - 1), &written, nullptr);
}

// One registry value followed by change notifications when its key exists, else by polling.
struct Watched {
    const wchar_t *key;
    const wchar_t *value;
    const wchar_t *name;
    const wchar_t *format;
    HKEY handle = nullptr;
    HANDLE changed = nullptr;
    wchar_t last[64] = L"";
};

void Arm(Watched &watched) {
    if (!watched.handle &&
        RegOpenKeyExW(HKEY_CURRENT_USER, watched.key, 0, KEY_READ, &watched.handle) != 0)
        watched.handle = nullptr;
    if (watched.handle)
        RegNotifyChangeKeyValue(watched.handle, FALSE, REG_NOTIFY_CHANGE_LAST_SET, watched.changed,
                                TRUE);
}

void Check(Watched &watched) {
    DWORD data = 0, size = sizeof data, type = 0;
    wchar_t now[64];
    if (RegGetValueW(HKEY_CURRENT_USER, watched.key, watched.value, RRF_RT_REG_DWORD, &type, &data,
                     &size) == 0)
        swprintf(now, 64, watched.format, data);
    else
        swprintf(now, 64, L"none");
    if (std::wcscmp(now, watched.last) != 0) {
        std::wcscpy(watched.last, now);
        wchar_t event[100];
        swprintf(event, 100, L"%ls %ls", watched.name, now);
        Write(event);
    }
}

const wchar_t *ProgramState() {
    HWND window = FindWindowW(L"NUDGEBELLPLUS", L"Nudgebell+");
    return !window ? L"gone" : IsWindowVisible(window) ? L"visible" : L"hidden";
}

int ReminderShown() {
    for (int k = 0; k < 6; ++k)
        if (FindWindowW(L"Dialog", DeviceReminderTitles[k]))
            return k + 1;
    return 0;
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    if (argc < 2) {
        std::fwprintf(stderr, L"usage: observe OUT [MS]\n");
        return 2;
    }
    out = CreateFileW(argv[1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return 1;
    DWORD limit = argc > 2 ? static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) : INFINITE;

    Watched values[] = {
        {L"Software\\Quarnel\\NudgebellPlus", L"Language", L"language", L"%lu"},
        {L"ControlPanel\\Volume", L"Volume", L"volume", L"0x%08lX"},
    };
    HANDLE events[2];
    for (int i = 0; i < 2; ++i) {
        values[i].changed = events[i] = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        Arm(values[i]);
        Check(values[i]);
    }
    const wchar_t *program = L"";
    int reminder = -1;
    DWORD start = GetTickCount();
    while (limit == INFINITE || GetTickCount() - start < limit) {
        WaitForMultipleObjects(2, events, FALSE, WindowPeriod);
        for (Watched &watched : values) {
            if (!watched.handle || WaitForSingleObject(watched.changed, 0) == WAIT_OBJECT_0) {
                ResetEvent(watched.changed);
                Arm(watched);
                Check(watched);
            }
        }
        const wchar_t *state = ProgramState();
        if (std::wcscmp(state, program) != 0) {
            program = state;
            wchar_t event[40];
            swprintf(event, 40, L"program %ls", state);
            Write(event);
        }
        int shown = ReminderShown();
        if (shown != reminder) {
            wchar_t event[60];
            if (shown)
                swprintf(event, 60, L"reminder opened %ls", DeviceReminderTitles[shown - 1]);
            else
                swprintf(event, 60, L"reminder closed");
            if (reminder != -1 || shown)
                Write(event);
            reminder = shown;
        }
    }
    CloseHandle(out);
    return 0;
}
