// The device's alarm sounds, made by makesounds: each is a run of beeps at one pitch (Chimes
// steps down through three), so that a test can tell from a recording which one was played.
#pragma once

struct AlarmTone {
    const wchar_t *name;
    double hertz[3]; // the pitch of the beeps; a chime uses all three in turn
    int beeps;
};

constexpr int ToneSampleRate = 22050;
constexpr int ToneBeepMilliseconds = 120;
constexpr int ToneGapMilliseconds = 60;

constexpr AlarmTone AlarmTones[] = {
    {L"Alarm1", {1000, 1000, 1000}, 3},
    {L"Alarm2", {1500, 1500, 1500}, 3},
    {L"Alarm3", {2000, 2000, 2000}, 3},
    {L"Chimes", {1320, 1050, 880}, 3},
};

// The system's default sound on the device, played for a sound that cannot be found: lower and
// shorter than any alarm. It lives in the Windows folder, outside the list of alarms.
constexpr AlarmTone DefaultTone = {L"Default", {600, 600, 600}, 2};
