#include "tests/e2e/audio_capture.h"
#include "tests/e2e/harness.h"
#include "tools/sounds/alarm_tones.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
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

// The first channel of a wave file, 16-bit or float. A recorded stream's header says 0 frames:
// its data runs to the end of the file.
std::vector<float> Decode(const fs::path &file, int *rate) {
    std::ifstream in(file, std::ios::binary);
    std::string b{std::istreambuf_iterator<char>(in), {}};
    auto get = [&](size_t at, size_t size) {
        uint32_t value = 0;
        if (at + size <= b.size())
            std::memcpy(&value, b.data() + at, size);
        return value;
    };
    std::vector<float> samples;
    uint32_t format = 1, frame = 2;
    for (size_t at = 12; at + 8 <= b.size(); at += 8 + get(at + 4, 4) + (get(at + 4, 4) & 1)) {
        if (!b.compare(at, 4, "fmt ")) {
            format = get(at + 8, 2) == 0xFFFE ? get(at + 32, 2) : get(at + 8, 2); // extensible
            *rate = static_cast<int>(get(at + 12, 4));
            frame = std::max(get(at + 20, 2), 1u);
        } else if (!b.compare(at, 4, "data")) {
            for (size_t p = at + 8; p + frame <= b.size(); p += frame) {
                uint32_t value = get(p, format == 3 ? 4 : 2);
                float real;
                std::memcpy(&real, &value, 4);
                samples.push_back(format == 3 ? real : static_cast<int16_t>(value) / 32768.0f);
            }
            break;
        }
    }
    return samples;
}

float Peak(const std::vector<float> &samples) {
    float peak = 0;
    for (float s : samples)
        peak = std::max(peak, std::fabs(s));
    return peak;
}

// The alarm whose beeps, each told by its pitch, are the beeps heard: runs of sound apart by
// 10 ms or more of silence, the pitch counted from the sign changes.
std::wstring Identify(const std::vector<float> &s, int rate) {
    std::vector<double> pitches;
    const float loud = Peak(s) / 8;
    size_t first = 0, last = 0;
    bool inBeep = false;
    for (size_t i = 0; i < s.size(); ++i) {
        if (std::fabs(s[i]) > loud) {
            first = inBeep ? first : i;
            last = i;
            inBeep = true;
        }
        if (inBeep && (i - last > static_cast<size_t>(rate / 100) || i + 1 == s.size())) {
            inBeep = false;
            int changes = 0;
            for (size_t k = first + 1; k <= last; ++k)
                changes += (s[k] < 0) != (s[k - 1] < 0);
            pitches.push_back(changes * rate / 2.0 / static_cast<double>(last - first + 1));
        }
    }
    for (const AlarmTone &tone : AlarmTones) {
        bool same = pitches.size() == static_cast<size_t>(tone.beeps);
        for (size_t b = 0; same && b < pitches.size(); ++b)
            same = std::fabs(pitches[b] / tone.hertz[b % 3] - 1) < 0.03;
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
    wchar_t media[MAX_PATH] = L"";
    ::GetWindowsDirectoryW(media, MAX_PATH);
    std::vector<CapturedSound> sounds;
    for (const fs::directory_entry &entry : fs::directory_iterator(SoundFolder())) {
        if (entry.path().extension() != ".wav")
            continue; // still being recorded
        int rate = 1, fileRate = 1;
        std::vector<float> samples = Decode(entry.path(), &rate);
        CapturedSound sound{std::stod(entry.path().stem().string()) / 1e6, Identify(samples, rate)};
        if (!sound.alarm.empty())
            sound.level = Peak(samples) /
                          Peak(Decode(media + (L"\\Media\\" + sound.alarm + L".wav"), &fileRate));
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
