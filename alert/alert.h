// Alerting: the alarm sound under the volume policy, and the snooze keystrokes.
#pragma once
#include "platform/platform.h"

// Plays `soundName` once, synchronously, under Settings.VolumeControl, then puts the volume
// back.
void PlayAlarm(const wchar_t *soundName);
// Sets the device volume to `level` and mirrors it into the system's registry setting. With
// `savedLevel`, first reads the level in force into it; when that read fails nothing is
// changed and the result is false.
bool SetSystemVolume(DWORD level, DWORD *savedLevel);
LONG WriteRegistryDword(HKEY rootKey, const wchar_t *subKey, const wchar_t *valueName, DWORD value);

// Types the key sequence that picks Settings.SnoozeChoice in the reminder window.
void SendSnoozeKeys();
void PostKey(UINT keyCode);
