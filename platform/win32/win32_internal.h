// What the Win32 realizations share among themselves; the program never sees it.
#pragma once
#include "platform/platform.h"

#include <string_view>

namespace plat::win32 {

// LoadResource notes each resource's size so that a dialog template can be copied whole.
void RememberResourceSize(const void *data, DWORD size);
DWORD ResourceSize(const void *data);

// The desktop's folder for the handheld's sounds, `%SystemRoot%\Media`, joined with `name`.
// False when the result would not fit.
bool MediaPath(std::wstring_view name, wchar_t (&path)[MAX_PATH]);

// The file that a sound named as on the handheld ("Alarm1", "\\Windows\\Alarm1.wav") is on
// the desktop, in `path`, when that file exists; "SystemDefault" for a network path; else the
// name itself, for the system to find.
LPCWSTR DesktopSoundName(LPCWSTR sound, wchar_t (&path)[MAX_PATH]);

// A function of a system library that only some actions need (sound, the start-up folder,
// the shortcut), loaded on its first use so that start-up does not pay for it. Null when the
// library or the function is missing.
FARPROC LateBound(const wchar_t *library, const char *name);

template <typename Function> Function *LateBound(const wchar_t *library, const char *name) {
    return reinterpret_cast<Function *>(reinterpret_cast<void *>(LateBound(library, name)));
}

} // namespace plat::win32
