#pragma once
#include "platform/platform.h"
#include <mmsystem.h>

namespace plat {

MMRESULT waveOutGetVolume(HWAVEOUT device, DWORD *volume);
MMRESULT waveOutSetVolume(HWAVEOUT device, DWORD volume);
// Has the audio system take up the volume mirrored under "ControlPanel\Volume".
void AudioUpdateFromRegistry();
// A bare name such as "Alarm1" is looked up among the handheld's "\Windows\*.wav" sounds.
BOOL sndPlaySoundW(LPCWSTR sound, UINT flags);

} // namespace plat
