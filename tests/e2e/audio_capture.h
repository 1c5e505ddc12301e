// What the device played, heard through its audio output (tools/device/capture-sounds): each
// sound with its onset, which of the device's alarm sounds it is, and how loud it was.
#pragma once
#include <string>
#include <vector>

namespace e2e {

struct CapturedSound {
    double onset = 0;   // Unix time in milliseconds at which the device began to play it
    std::wstring alarm; // "Alarm1" ... "Chimes" when all of that alarm's beeps were heard
    double level = 0;   // its peak against the peak of the alarm's own wave file
};

// Forgets what was heard so far. Needs DEVICE_AUDIO_HOME, which the suite's ctest entry sets.
void StartAudioCapture();
std::vector<CapturedSound> CapturedSounds(); // in order of onset
double UnixMilliseconds();                   // now, on the clock of the onsets

} // namespace e2e
