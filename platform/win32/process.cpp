// The process: its command line as the handheld gives it, its own path, waiting, the mutex.
#include "platform/process.h"

namespace plat {

LPCWSTR GetCommandLineW() {
    // Skip the program's own name as the system quotes it, then the blanks after it.
    LPCWSTR text = ::GetCommandLineW();
    if (*text == L'"') {
        ++text;
        while (*text && *text != L'"')
            ++text;
        if (*text)
            ++text;
    } else {
        while (*text && *text != L' ' && *text != L'\t')
            ++text;
    }
    while (*text == L' ' || *text == L'\t')
        ++text;
    return text;
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR path, DWORD capacity) {
    DWORD length = ::GetModuleFileNameW(module, path, capacity);
    // A path cut to fit the buffer is no path; report it as the failure it is.
    if (length >= capacity) {
        if (capacity)
            path[0] = L'\0';
        return 0;
    }
    return length;
}

void Sleep(DWORD milliseconds) {
    ::Sleep(milliseconds);
}

HANDLE CreateMutexW(SECURITY_ATTRIBUTES *attributes, BOOL initialOwner, LPCWSTR name) {
    return ::CreateMutexW(attributes, initialOwner, name);
}

DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds) {
    return ::WaitForSingleObject(object, milliseconds);
}

DWORD GetLastError() {
    return ::GetLastError();
}

BOOL SetDefaultDllDirectories(DWORD directories) {
    return ::SetDefaultDllDirectories(directories);
}

} // namespace plat
