// The bare minimum the platform needs to replay a sound on a schedule: a timer at DELAY and a
// synchronous play of SOUND at each of COUNT ticks, no volume and no window search. The replay
// benchmark measures what the device's audio path adds to every onset against it.
//
//   bare_replay OUT COUNT DELAY SOUND     writes the Unix time in ms at which the timer was set
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>

int wmain(int argc, wchar_t **argv) {
    if (argc != 5) {
        std::fwprintf(stderr, L"usage: bare_replay OUT COUNT DELAY SOUND\n");
        return 2;
    }
    int count = _wtoi(argv[2]);
    UINT delay = static_cast<UINT>(_wtoi(argv[3]));
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    UINT_PTR timer = SetTimer(nullptr, 0, delay, nullptr);
    uint64_t ticks = (uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    FILE *out = _wfopen(argv[1], L"w");
    if (!out || !timer)
        return 1;
    std::fprintf(out, "%.1f\n", double(ticks - 116444736000000000ull) / 10000.0);
    std::fclose(out);
    MSG message;
    while (count > 0 && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER) {
            sndPlaySoundW(argv[4], SND_SYNC);
            --count;
        }
    }
    return 0;
}
