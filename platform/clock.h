// Local time, and starts of a program scheduled by the platform.
#pragma once
#include "platform/platform.h"

namespace plat {

void GetLocalTime(SYSTEMTIME *now);
// Has the system start `program` with "AppRunAtTime" in its command line at the local time
// `when`, waking the machine where it can. A program has one start pending: registering it
// again replaces it. The start is run from the message loop (plat::GetMessageW) of the thread
// that registers it. Nonzero on success.
BOOL CeRunAppAtTime(LPCWSTR program, const SYSTEMTIME *when);

} // namespace plat
