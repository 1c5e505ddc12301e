// What the Win32 realizations share among themselves; the program never sees it.
#pragma once
#include "platform/platform.h"

namespace plat::win32 {

// LoadResource notes each resource's size so that a dialog template can be copied whole.
void RememberResourceSize(const void *data, DWORD size);
DWORD ResourceSize(const void *data);

// True when the screen is a handheld's (at most 480 x 640): windows asked for at the default
// size then fill it, as on the handheld.
bool IsHandheldScreen();

// A handle as the system may see it: the handheld's low-bit flag removed.
HWND SystemHandle(HWND window);

} // namespace plat::win32
