// The watch cycle: finds the reminder window on each timer tick and runs a replay series.
#pragma once
#include "platform/platform.h"

#include <array>
#include <span>

// The most reminder windows one tick looks at; a further one waits until one of them closes.
constexpr size_t MaxReminders = 8;
using ReminderWindows = std::array<HWND, MaxReminders>; // the open ones first, then nulls

struct WatchStateRecord {
    DWORD ringing = 0;
    DWORD ringCount = 0;
    DWORD playing = 0;
    HWND reminder = nullptr;     // the window whose series is under way
    ReminderWindows cycleDone{}; // open reminder windows whose series has ended
};

extern WatchStateRecord WatchState;

// The reminder window's title in each of the device's languages: entry k - 1 for Language k.
constexpr DWORD ReminderTitleCount = 6;
extern const wchar_t *const ReminderTitleTable[ReminderTitleCount];

// The language whose reminder title `isOpen` answers for: the known `language` (1 to 6) is
// searched alone; any other value has every title tried in order. 0 when none is open.
DWORD SearchReminderTitles(DWORD language, bool (*isOpen)(const wchar_t *title));

// The watch timer's one owner. Arming sets its period, counted from now; stopping kills it.
constexpr UINT PollInterval = 5000;
void ArmWatchTimer(UINT period);
void StopWatchTimer();

void WatchTick();
// Watching again after the user's "Run": a series under way goes on at the RepeatDelay just
// saved, with its wake-up moved to match; otherwise the timer polls.
void ResumeWatching();
