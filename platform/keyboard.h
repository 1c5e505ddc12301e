#pragma once
#include "platform/platform.h"

namespace plat {

// The window handle -1 names the window with the keyboard focus in the foreground thread.
BOOL PostKeybdMessage(HWND window, UINT virtualKey, UINT keyStateFlags, UINT characterCount,
                      UINT *shiftStates, UINT *characters);

} // namespace plat
