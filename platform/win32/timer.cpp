// Timers of a window.
#include "platform/timer.h"

namespace plat {

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC routine) {
    return ::SetTimer(window, id, milliseconds, routine);
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    return ::KillTimer(window, id);
}

} // namespace plat
