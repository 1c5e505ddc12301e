// The settings panel: the modeless dialog that fills the main window.
#pragma once
#include "platform/platform.h"

#include <string_view>

INT_PTR CALLBACK SettingsPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);

// Fills and sets the controls from Settings; once, when the panel is created.
void InitSettingsPanel(HWND panel);
// Lists the device's wave files, sorted, and selects Settings.Sound (else the first entry).
void FillSoundList(HWND panel);
// Copies the controls into Settings and applies a change of the start-up tick; false when the
// shortcut failed (ApplyAutoRun), which the caller tells once the settings are in force.
bool ReadSettingsPanel(HWND panel);

// The repeat interval is edited in whole seconds and stored in milliseconds. More seconds
// than a 32-bit millisecond count can hold store the largest count, so that a huge interval
// never wraps into a short one.
DWORD SecondsToDelay(UINT seconds);
UINT DelayToSeconds(DWORD delay);
// The number typed into a digits-only field (the count and the seconds): leading blanks, then
// digits up to the first other character; 0 when there are none. Digits beyond what 32 bits
// hold are a number too large, not an empty field: they count as the largest number.
UINT NumberFromText(std::wstring_view text);
// The sound list's remembered index (-1: none) after a name was added at `inserted` (below 0:
// not added); `isStored` when the name is Settings.Sound.
int RememberSound(int remembered, int inserted, bool isStored);
