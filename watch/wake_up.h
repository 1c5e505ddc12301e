// Wake-ups: has the platform start the program just before the next replay.
#pragma once
#include "platform/platform.h"

// Registers the wake-up for the tick due RepeatDelay after the one that began at local time
// `now`: reckoned from the tick, not from when it is registered, so that a long play cannot push
// the wake-up past the next tick.
void ScheduleWakeUp(const SYSTEMTIME &now);
// A failure to register is told once a series, at the first of its ticks that can tell it.
void ForgetWakeUpFailure(); // a new series tells its own
// The wake-up for a tick due `repeatDelay` ms after `now`: one second before it, or the start of
// a later minute, never past it. False when the delay is too short for one (1000 ms or less).
bool WakeUpTime(const SYSTEMTIME &now, DWORD repeatDelay, SYSTEMTIME *when);

// Calendar carry steps: each adds n (its low 16 bits) to one field of `time`.
void AddSeconds(SYSTEMTIME *time, DWORD n);
void AddMinutes(SYSTEMTIME *time, DWORD n);
void AddHours(SYSTEMTIME *time, DWORD n);
void AddDays(SYSTEMTIME *time, DWORD n);
