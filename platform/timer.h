// Timers of a window.
#pragma once
#include "platform/platform.h"

namespace plat {

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC routine);
BOOL KillTimer(HWND window, UINT_PTR id);

} // namespace plat
