// Prints what a running program holds of the system, one line of figures per process whose
// executable is NAME:
//
//   process_stats NAME
//
//   pid=ID handles=N gdi=N user=N windows=N private_kb=N
//
// handles: GetProcessHandleCount; where that answers 0 for another process (Wine does), the
// entries of the system's handle list that the process owns, which is the same table read
// another way. gdi and user: GetGuiResources (GR_GDIOBJECTS, GR_USEROBJECTS); Wine answers
// 0. windows: the top-level and child windows its threads own, counted here. private_kb:
// PrivateUsage of GetProcessMemoryInfo; Wine answers 0 for another process, so the soak reads
// the Linux side instead. A figure the system refuses reads -1. Exits 1 when no such process
// runs.
#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

// The system's handle list (NtQuerySystemInformation class 16), as the system lays it out.
struct HandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ACCESS_MASK access;
};
struct HandleList {
    ULONG count;
    HandleEntry entries[1];
};
using QuerySystemInformation = LONG(WINAPI *)(ULONG, PVOID, ULONG, PULONG);
constexpr ULONG SystemHandleInformation = 16;
constexpr LONG InfoLengthMismatch = static_cast<LONG>(0xC0000004);

long CountListedHandles(DWORD id) {
    auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void *>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return -1;
    std::vector<BYTE> buffer(1 << 16);
    LONG status;
    ULONG needed = 0;
    while ((status = query(SystemHandleInformation, buffer.data(),
                           static_cast<ULONG>(buffer.size()), &needed)) == InfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status < 0)
        return -1;
    const auto *list = reinterpret_cast<const HandleList *>(buffer.data());
    long count = 0;
    for (ULONG i = 0; i < list->count; ++i)
        count += list->entries[i].ownerPid == id;
    return count;
}

struct WindowCount {
    DWORD process;
    long count;
};

BOOL CALLBACK CountChild(HWND window, LPARAM param) {
    auto *windows = reinterpret_cast<WindowCount *>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == windows->process)
        ++windows->count;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM param) {
    CountChild(window, param);
    EnumChildWindows(window, CountChild, param);
    return TRUE;
}

void PrintStats(DWORD id) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
    long handles = -1, gdi = -1, user = -1, privateKb = -1;
    if (process) {
        DWORD count = 0;
        if (GetProcessHandleCount(process, &count) && count)
            handles = static_cast<long>(count);
        else
            handles = CountListedHandles(id);
        gdi = static_cast<long>(GetGuiResources(process, GR_GDIOBJECTS));
        user = static_cast<long>(GetGuiResources(process, GR_USEROBJECTS));
        PROCESS_MEMORY_COUNTERS_EX memory{};
        memory.cb = sizeof memory;
        if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS *>(&memory),
                                 sizeof memory))
            privateKb = static_cast<long>(memory.PrivateUsage / 1024);
        CloseHandle(process);
    }
    WindowCount windows{id, 0};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&windows));
    std::printf("pid=%lu handles=%ld gdi=%ld user=%ld windows=%ld private_kb=%ld\n", id, handles,
                gdi, user, windows.count, privateKb);
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    if (argc != 2) {
        std::fwprintf(stderr, L"usage: process_stats NAME\n");
        return 2;
    }
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, argv[1]) == 0) {
            PrintStats(entry.th32ProcessID);
            found = true;
        }
    }
    CloseHandle(snapshot);
    return found ? 0 : 1;
}
