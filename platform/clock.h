// Local time, and starts of a program scheduled by the platform.
#pragma once
#include "platform/platform.h"

namespace plat {

void GetLocalTime(SYSTEMTIME *now);
// Has the system start `program` with "AppRunAtTime" in its command line at the local time
// `when`, waking the machine where it can. A program has one start pending: registering it
// again replaces it. The start comes as far after the registration as `when` is after the
// local time now, whatever the clock or its daylight saving does meanwhile, and whatever the
// registering thread is doing then. Nonzero on success.
BOOL CeRunAppAtTime(LPCWSTR program, const SYSTEMTIME *when);

} // namespace plat
