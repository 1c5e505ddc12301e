// What the device really played, heard through its audio output (tools/device/capture-sounds):
// each sound with its onset and which of the device's alarm sounds it is.
#pragma once
#include <string>
#include <vector>

namespace e2e {

struct CapturedSound {
    double onset = 0;   // Unix time in milliseconds at which the device began to play it
    double seconds = 0; // its length
    std::wstring alarm; // the alarm sound it is ("Alarm1", ..., "Chimes"), or empty if none
};

// Forgets what was heard so far; sounds that the test's processes play from now on are heard.
// Needs the test run with DEVICE_AUDIO_HOME set (its ctest entry does that).
void StartAudioCapture();
// Everything heard since, in order of onset.
std::vector<CapturedSound> CapturedSounds();
// Waits until `count` sounds were heard; false when `milliseconds` passed first.
bool WaitForSounds(size_t count, unsigned milliseconds);

// Which alarm sound a recording holds: its beeps, each told by its pitch, must match one
// sound's pitches and number of beeps. Empty when none matches.
std::wstring IdentifyAlarm(const std::vector<float> &samples, int sampleRate);

// Now, on the clock of the onsets.
double UnixMilliseconds();

} // namespace e2e
