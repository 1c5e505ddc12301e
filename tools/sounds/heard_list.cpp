// Lists what the device played, as tools/device/capture-sounds recorded it into DIR:
//
//   heard.exe DIR        one line a sound, in order: ONSET NAME LEVEL
//
//   1765000000123.4 Alarm1 0.250    began at that Unix time in milliseconds; all of Alarm1's
//                                   beeps heard, at a quarter of its file's peak
//   1765000000456.7 ? 0.000         not one of the device's sounds, or cut short
#include "tools/sounds/heard.h"

#include <cstdio>

int wmain(int argc, wchar_t **argv) {
    if (argc != 2) {
        std::fwprintf(stderr, L"usage: heard DIR\n");
        return 2;
    }
    for (const HeardSound &sound : HeardSounds(argv[1]))
        std::wprintf(L"%.1f %ls %.3f\n", sound.onset,
                     sound.alarm.empty() ? L"?" : sound.alarm.c_str(), sound.level);
    return 0;
}
