// The settings record and its registry store.
#pragma once
#include "platform/platform.h"

#include <array>
#include <span>

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

// The number values as stored: each one's registry name and field, in the order in which they
// are read and written. Their defaults are those of SettingsRecord.
struct DwordValue {
    LPCWSTR name;
    DWORD SettingsRecord::*field;
};
extern const std::array<DwordValue, 8> DwordValues;

void LoadSettings();
void SaveSettings();
void SaveLanguage();

// The level to put back after a forced play, kept under the settings key for as long as the
// level is forced, so that a start after the program was ended in mid-play can put it back.
// Never part of the settings: saving them neither writes nor removes it.
void RecordVolume(DWORD level);
// The recorded level into `level`; false when there is none (no 4-byte value).
bool RecordedVolume(DWORD *level);
void ForgetRecordedVolume();

// A stored number's bytes into `field`: exactly 4 of them; any other size leaves the field as
// it was, like a missing value.
void TakeStoredDword(std::span<const BYTE> data, DWORD *field);
// A stored text's bytes into `sound`, always terminated: the text ends at its first terminator,
// at the last whole character, or after 259 characters, whichever comes first.
void TakeStoredSound(std::span<const BYTE> data, std::array<wchar_t, SoundCapacity> &sound);
