#include "tests/e2e/audio_capture.h"
#include "tests/e2e/harness.h"
#include "tools/sounds/alarm_tones.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace e2e {

namespace {

namespace fs = std::filesystem;

fs::path SoundFolder() {
    const char *home = std::getenv("DEVICE_AUDIO_HOME");
    return home ? DevicePath(home) + L"\\sounds" : L"";
}

// A wave file as makesounds writes it and the capture passes it on: 16-bit mono after a
// 44-byte header, whose data length a recording leaves at 0 (its data runs to the end).
std::vector<int16_t> Decode(const fs::path &file) {
    std::ifstream in(file, std::ios::binary);
    std::string b{std::istreambuf_iterator<char>(in), {}};
    int rate = 0;
    if (b.size() > 44 && !b.compare(36, 4, "data") && b[22] == 1 && b[34] == 16)
        std::memcpy(&rate, b.data() + 24, sizeof rate);
    std::vector<int16_t> samples(rate == ToneSampleRate ? (b.size() - 44) / 2 : 0);
    if (!samples.empty())
        std::memcpy(samples.data(), b.data() + 44, samples.size() * 2);
    return samples; // empty for any other format
}

int Peak(const std::vector<int16_t> &samples) {
    int peak = 0;
    for (int s : samples)
        peak = std::max(peak, std::abs(s));
    return peak;
}

// The alarm whose beeps, each told by its pitch, are all heard from the first beep on.
std::wstring Identify(const std::vector<int16_t> &s) {
    auto first = std::find_if(s.begin(), s.end(), [loud = Peak(s) / 8](int v) { return v > loud; });
    for (const AlarmTone &tone : AlarmTones) {
        bool same = true;
        for (int b = 0; same && b < tone.beeps; ++b) {
            // A tenth of a second inside the beep: its sign changes count 20 per 100 Hz.
            size_t from =
                (first - s.begin()) +
                (b * (ToneBeepMilliseconds + ToneGapMilliseconds) + 10) * ToneSampleRate / 1000;
            int changes = 0;
            for (size_t k = from; k < from + ToneSampleRate / 10 && k < s.size(); ++k)
                changes += (s[k] < 0) != (s[k - 1] < 0);
            same = std::fabs(changes * 5 / tone.hertz[b % 3] - 1) < 0.03;
        }
        if (same)
            return tone.name;
    }
    return L"";
}

} // namespace

void StartAudioCapture() {
    ASSERT_FALSE(SoundFolder().empty()) << "DEVICE_AUDIO_HOME is not set: run it through ctest";
    fs::remove_all(SoundFolder());
    fs::create_directories(SoundFolder());
}

std::vector<CapturedSound> CapturedSounds() {
    wchar_t windows[MAX_PATH] = L"";
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    std::vector<CapturedSound> sounds;
    for (const fs::directory_entry &entry : fs::directory_iterator(SoundFolder())) {
        if (entry.path().extension() != ".wav")
            continue; // still being recorded
        std::vector<int16_t> samples = Decode(entry.path());
        CapturedSound sound{std::stod(entry.path().stem().string()) / 1e6, Identify(samples)};
        if (!sound.alarm.empty())
            sound.level =
                Peak(samples) /
                double(Peak(Decode(fs::path(windows) / L"Media" / (sound.alarm + L".wav"))));
        sounds.push_back(sound);
    }
    std::sort(sounds.begin(), sounds.end(),
              [](const CapturedSound &a, const CapturedSound &b) { return a.onset < b.onset; });
    return sounds;
}

double UnixMilliseconds() {
    FILETIME now{};
    ::GetSystemTimePreciseAsFileTime(&now);
    return ((uint64_t(now.dwHighDateTime) << 32 | now.dwLowDateTime) - 116444736000000000ull) / 1e4;
}

} // namespace e2e
