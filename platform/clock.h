#pragma once
#include "platform/platform.h"

namespace plat {

void GetLocalTime(SYSTEMTIME *now);
// Has the system start `program` with "AppRunAtTime" in its command line at the local time
// `when`, waking the machine where it can. Nonzero on success.
BOOL CeRunAppAtTime(LPCWSTR program, const SYSTEMTIME *when);

} // namespace plat
