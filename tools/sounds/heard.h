// What the device played, as tools/device/capture-sounds recorded it: each sound's onset, which
// of the device's own sounds it was, and the level it was heard at. The demonstration prints it
// (tools/sounds/heard.exe); the end-to-end tests check it.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

struct HeardSound {
    double onset = 0;   // Unix time in milliseconds at which the device began to play it
    std::wstring alarm; // "Alarm1" ... "Chimes", "Default" or "Built-in" when all of its beeps
                        // were heard; empty for anything else (another sound, one cut short)
    double level = 0;   // its peak against the peak of the sound's own wave file
};

// The sounds recorded in `folder`, in order of onset; their own files are looked up in the
// device's Windows folder, where makesounds wrote them.
std::vector<HeardSound> HeardSounds(const std::filesystem::path &folder);
