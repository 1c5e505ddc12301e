#include "platform/process.h"
#include "tests/fake/log.h"

namespace plat {

LPCWSTR GetCommandLineW() {
    fake::Log(L"GetCommandLineW");
    return fake::device().commandLine.c_str();
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR path, DWORD capacity) {
    fake::Log(L"GetModuleFileNameW", reinterpret_cast<ULONG_PTR>(module), capacity);
    const std::wstring &own = fake::device().modulePath;
    if (fake::device().modulePathFails || own.size() >= capacity)
        return 0;
    own.copy(path, own.size());
    path[own.size()] = L'\0';
    return static_cast<DWORD>(own.size());
}

void Sleep(DWORD milliseconds) {
    fake::Log(L"Sleep", milliseconds);
    fake::device().now += milliseconds;
}

} // namespace plat
