// The process: its command line, its own path, waiting, and the program's mutex.
#pragma once
#include "platform/platform.h"

namespace plat {

// Unlike the system's call: the start's argument text alone, without the program's own name, as the
// handheld gives it: a program folder whose name holds a keyword cannot trigger that keyword.
LPCWSTR GetCommandLineW();
// Unlike the system's call: a path cut to fit `capacity` is no path: the answer is 0 and `path`
// is left empty.
DWORD GetModuleFileNameW(HMODULE module, LPWSTR path, DWORD capacity);
void Sleep(DWORD milliseconds);
HANDLE CreateMutexW(SECURITY_ATTRIBUTES *attributes, BOOL initialOwner, LPCWSTR name);
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);
DWORD GetLastError();
BOOL SetDefaultDllDirectories(DWORD directories);

} // namespace plat
