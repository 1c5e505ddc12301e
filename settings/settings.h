// The settings record and its registry store.
#pragma once
#include "platform/platform.h"

#include <array>

enum VolumeMode : DWORD {
    DontChange = 0,
    Minimum = 1,
    Medium = 2,
    Maximum = 3,
    Gradual = 4,
};

constexpr int SoundCapacity = 260; // characters, terminator included

struct SettingsRecord {
    DWORD Play = 1;
    DWORD RepeatTimes = 3;
    DWORD RepeatDelay = 30000; // milliseconds
    DWORD AutoSnooze = 0;
    DWORD SnoozeChoice = 0;
    DWORD VolumeControl = DontChange;
    DWORD AutoRun = 0;
    DWORD Language = 0; // 0: not yet known; 1 to 6: an entry of ReminderTitleTable
    std::array<wchar_t, SoundCapacity> Sound{L"Alarm1"};
};

extern SettingsRecord Settings;

void LoadSettings();
void SaveSettings();
void SaveLanguage();
