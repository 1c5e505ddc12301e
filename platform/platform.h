// The platform seam. The program calls the system only through the functions declared in
// platform/*.h, all in namespace plat and named as the handheld's own API names them.
// Production links platform/win32 (the real system, with the handheld-only services
// realized on desktop Windows); unit tests link a simulated device in their place.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
