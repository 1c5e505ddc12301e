// Files and folder searches.
#pragma once
#include "platform/platform.h"
#include "platform/scoped.h"

namespace plat {

// Unlike the system's call: a pattern in the handheld's "\Windows" folder ("\Windows\*.wav")
// searches the system's media folder, by the rule of MediaFileName (text.h) that the sounds'
// names follow too. Folders match a pattern as files do.
HANDLE FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW *found);
BOOL FindNextFileW(HANDLE search, WIN32_FIND_DATAW *found);
BOOL FindClose(HANDLE search);
using ScopedSearch = Scoped<HANDLE, FindClose>;
BOOL DeleteFileW(LPCWSTR path);

} // namespace plat
