// Wake-ups: has the platform start the program just before the next replay.
#pragma once
#include "platform/platform.h"

void ScheduleWakeUp();

// Calendar carry steps: each adds n (its low 16 bits) to one field of `time`.
void AddSeconds(SYSTEMTIME *time, DWORD n);
void AddMinutes(SYSTEMTIME *time, DWORD n);
void AddHours(SYSTEMTIME *time, DWORD n);
void AddDays(SYSTEMTIME *time, DWORD n);
