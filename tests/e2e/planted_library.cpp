// A library of the tests' own under a system library's name, planted beside a copy of the
// program: loading it leaves "<its path>.loaded" behind. It offers no functions.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    wchar_t path[MAX_PATH + 8] = L"";
    DWORD length = ::GetModuleFileNameW(self, path, MAX_PATH);
    if (reason == DLL_PROCESS_ATTACH && length && length < MAX_PATH)
        ::CloseHandle(::CreateFileW(::lstrcatW(path, L".loaded"), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, 0, nullptr));
    return TRUE;
}
