// The watch cycle: finds the reminder window on each timer tick and runs a replay series.
#pragma once
#include "platform/platform.h"

struct WatchStateRecord {
    DWORD ringing = 0;
    DWORD ringCount = 0;
    DWORD cycleDone = 0;
    DWORD playing = 0;
};

extern WatchStateRecord WatchState;

// The reminder window's title in each of the device's languages: entry k - 1 for Language k.
constexpr DWORD ReminderTitleCount = 6;
extern const wchar_t *const ReminderTitleTable[ReminderTitleCount];

// The language whose reminder title `isOpen` answers for: the known `language` (1 to 6) is
// searched alone; any other value has every title tried in order. 0 when none is open.
DWORD SearchReminderTitles(DWORD language, bool (*isOpen)(const wchar_t *title));

void WatchTick();
