// Sound output and volume.
#pragma once
#include "platform/platform.h"
#include <mmsystem.h>

namespace plat {

constexpr HWAVEOUT OutputDevice = nullptr; // device 0
// The system's record of device 0's level, which its control panel reads: a REG_DWORD.
constexpr wchar_t VolumeMirrorKey[] = L"ControlPanel\\Volume";
constexpr wchar_t VolumeMirrorValue[] = L"Volume";

// Unlike the system's calls: where the system refuses device 0 (Wine), the platform keeps its
// level for the process, starting from the volume mirror.
MMRESULT waveOutGetVolume(HWAVEOUT device, DWORD *volume);
MMRESULT waveOutSetVolume(HWAVEOUT device, DWORD volume);
// Has the audio system take up the volume mirrored under "ControlPanel\Volume".
void AudioUpdateFromRegistry();
// Unlike the system's call: a bare name such as "Alarm1" is looked up among the handheld's
// "\Windows\*.wav" sounds (MediaFileName, text.h), a network path plays the default sound, a broken
// wave file plays the default sound, and where the platform keeps device 0's level (Wine) a wave
// file plays through a stream of the platform's own at that level. A synchronous play runs on a
// thread of the platform's own and returns within the sound's length plus 2 s whatever the output
// does; while an earlier play is still stuck in the output it returns FALSE at once, playing
// nothing. When neither the name nor the system's default sound can be played, the platform's own
// alarm tone plays (BuiltInTone, tools/sounds/alarm_tones.h).
BOOL sndPlaySoundW(LPCWSTR sound, UINT flags);

} // namespace plat
