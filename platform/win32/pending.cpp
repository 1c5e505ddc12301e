// Handheld services whose desktop realization is still to come: each reports failure.
#include "platform/clock.h"
#include "platform/keyboard.h"
#include "platform/shell.h"
#include "platform/sound.h"

namespace plat {

void GetLocalTime(SYSTEMTIME *now) {
    ::GetLocalTime(now);
}
BOOL CeRunAppAtTime(LPCWSTR, const SYSTEMTIME *) {
    return FALSE;
}
BOOL PostKeybdMessage(HWND, UINT, UINT, UINT, UINT *, UINT *) {
    return FALSE;
}
MMRESULT waveOutGetVolume(HWAVEOUT device, DWORD *volume) {
    return ::waveOutGetVolume(device, volume);
}
MMRESULT waveOutSetVolume(HWAVEOUT device, DWORD volume) {
    return ::waveOutSetVolume(device, volume);
}
void AudioUpdateFromRegistry() {}
BOOL sndPlaySoundW(LPCWSTR sound, UINT flags) {
    return ::sndPlaySoundW(sound, flags);
}

} // namespace plat
