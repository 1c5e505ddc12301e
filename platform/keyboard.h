// Keys typed into another window.
#pragma once
#include "platform/platform.h"

namespace plat {

constexpr UINT KeyStateDownFlag = 0x80; // in keyStateFlags: the key goes down

// The window handle -1 names the window with the keyboard focus in the foreground thread.
BOOL PostKeybdMessage(HWND window, UINT virtualKey, UINT keyStateFlags, UINT characterCount,
                      UINT *shiftStates, UINT *characters);

} // namespace plat
