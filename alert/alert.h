// Alerting: the alarm sound under the volume policy, and the snooze keystrokes.
#pragma once
#include "platform/platform.h"

#include <array>
#include <span>

// The per-channel level that volume `mode` forces for the replay `ringCount` of a series (0 for
// the first), or false when the volume is to be left alone.
bool ChooseLevel(DWORD mode, DWORD ringCount, WORD *level);
// Plays `soundName` once, synchronously, at the level that `volumeMode` forces for the replay
// `ringCount` of a series (ChooseLevel), then puts the volume back.
void PlayAlarm(const wchar_t *soundName, DWORD volumeMode, DWORD ringCount);
// Sets the device volume to `level` and mirrors it into the system's registry setting. With
// `savedLevel`, first reads the level in force into it and records it (RecordVolume) until
// PlayAlarm has put it back; when that read fails nothing is changed and the result is false.
bool SetSystemVolume(DWORD level, DWORD *savedLevel);
// Puts back the level that a play recorded and did not get to put back (the program was ended in
// the middle of it, or the session is ending), on the device and in the mirror, and forgets it.
void RestoreRecordedVolume();
LONG WriteRegistryDword(HKEY rootKey, const wchar_t *subKey, const wchar_t *valueName, DWORD value);

// The keys that pick snooze `choice` in the reminder window, into `keys`; answers their count.
// A choice that names no entry picks the first, so the sequence never outgrows the buffer.
constexpr size_t MaxSnoozeKeys = 10;
size_t SnoozeKeys(DWORD choice, std::span<UINT, MaxSnoozeKeys> keys);
// Types the key sequence that picks Settings.SnoozeChoice in the `reminder` window, 50 ms
// apart. A key due while any other window is in front ends the sequence untyped: keys meant for
// the reminder must never change the program's own settings or another program's work.
void SendSnoozeKeys(HWND reminder);
void PostKey(UINT keyCode);
