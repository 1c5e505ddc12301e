// The watch cycle.
#include "watch/watch_cycle.h"

WatchStateRecord WatchState;

void WatchTick() {}
