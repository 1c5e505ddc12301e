#include "tests/e2e/audio_capture.h"
#include "tests/e2e/harness.h"
#include "tools/sounds/alarm_tones.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace e2e {

namespace {

constexpr double Pi = 3.14159265358979;

std::wstring SoundFolder() {
    char home[MAX_PATH] = "";
    if (!::GetEnvironmentVariableA("DEVICE_AUDIO_HOME", home, MAX_PATH))
        return L"";
    return DevicePath(home) + L"\\sounds";
}

std::vector<uint8_t> ReadFile(const std::wstring &path) {
    std::vector<uint8_t> bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    LARGE_INTEGER size{};
    ::GetFileSizeEx(file, &size);
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    ::CloseHandle(file);
    return bytes;
}

uint32_t Get32(const uint8_t *p) {
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}
uint16_t Get16(const uint8_t *p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// The first channel of a WAV stream, as written to a pipe: its data length may be 0 or wrong,
// so the data runs to the end of the file.
bool DecodeWave(const std::vector<uint8_t> &bytes, std::vector<float> *samples, int *rate) {
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) ||
        std::memcmp(bytes.data() + 8, "WAVE", 4))
        return false;
    uint16_t format = 0, channels = 0, bits = 0;
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const uint8_t *chunk = bytes.data() + at;
        uint32_t size = Get32(chunk + 4);
        if (!std::memcmp(chunk, "fmt ", 4) && at + 8 + 16 <= bytes.size()) {
            format = Get16(chunk + 8);
            channels = Get16(chunk + 10);
            *rate = static_cast<int>(Get32(chunk + 12));
            bits = Get16(chunk + 22);
            if (format == 0xFFFE && size >= 40 && at + 8 + 26 <= bytes.size())
                format = Get16(chunk + 32); // the sub-format of an extensible header
        } else if (!std::memcmp(chunk, "data", 4)) {
            if (!channels || (format != 1 && format != 3) || (bits != 16 && bits != 32))
                return false;
            size_t frame = channels * bits / 8u;
            for (size_t p = at + 8; p + frame <= bytes.size(); p += frame) {
                if (format == 3 && bits == 32) {
                    float value;
                    std::memcpy(&value, bytes.data() + p, 4);
                    samples->push_back(value);
                } else if (bits == 16) {
                    samples->push_back(static_cast<int16_t>(Get16(bytes.data() + p)) / 32768.0f);
                } else {
                    samples->push_back(static_cast<int32_t>(Get32(bytes.data() + p)) /
                                       2147483648.0f);
                }
            }
            return true;
        }
        at += 8 + size + (size & 1);
    }
    return false;
}

double Goertzel(const float *samples, size_t count, double hertz, int rate) {
    double coefficient = 2 * std::cos(2 * Pi * hertz / rate);
    double previous = 0, before = 0;
    for (size_t i = 0; i < count; ++i) {
        double current = samples[i] + coefficient * previous - before;
        before = previous;
        previous = current;
    }
    return previous * previous + before * before - coefficient * previous * before;
}

struct Beep {
    size_t start;
    size_t length;
};

// Runs of sound separated by silence, each at least 40 ms long.
std::vector<Beep> FindBeeps(const std::vector<float> &samples, int rate) {
    const size_t frame = std::max(1, rate / 200); // 5 ms
    std::vector<double> energy;
    for (size_t at = 0; at + frame <= samples.size(); at += frame) {
        double sum = 0;
        for (size_t i = at; i < at + frame; ++i)
            sum += samples[i] * samples[i];
        energy.push_back(sum / frame);
    }
    double loudest = energy.empty() ? 0 : *std::max_element(energy.begin(), energy.end());
    std::vector<Beep> beeps;
    if (loudest < 1e-6) // silence
        return beeps;
    const size_t shortest = static_cast<size_t>(rate) * 40 / 1000;
    size_t first = 0;
    bool inBeep = false;
    for (size_t f = 0; f <= energy.size(); ++f) {
        bool loud = f < energy.size() && energy[f] > 0.05 * loudest;
        if (loud && !inBeep) {
            first = f;
            inBeep = true;
        } else if (!loud && inBeep) {
            inBeep = false;
            Beep beep{first * frame, (f - first) * frame};
            if (beep.length >= shortest)
                beeps.push_back(beep);
        }
    }
    return beeps;
}

} // namespace

std::wstring IdentifyAlarm(const std::vector<float> &samples, int sampleRate) {
    std::vector<double> pitches;
    for (const AlarmTone &tone : AlarmTones)
        for (double hertz : tone.hertz)
            if (std::find(pitches.begin(), pitches.end(), hertz) == pitches.end())
                pitches.push_back(hertz);

    std::vector<double> heard;
    for (const Beep &beep : FindBeeps(samples, sampleRate)) {
        double best = 0, power = 0;
        for (double hertz : pitches) {
            double p = Goertzel(samples.data() + beep.start, beep.length, hertz, sampleRate);
            if (p > power) {
                power = p;
                best = hertz;
            }
        }
        // A sine wholly at the pitch gives energy * length / 2; one off all pitches little.
        double energy = 0;
        for (size_t i = beep.start; i < beep.start + beep.length; ++i)
            energy += samples[i] * samples[i];
        heard.push_back(power > 0.5 * energy * beep.length / 2 ? best : 0);
    }
    for (const AlarmTone &tone : AlarmTones) {
        if (heard.size() != static_cast<size_t>(tone.beeps))
            continue;
        bool same = true;
        for (size_t b = 0; b < heard.size(); ++b)
            same = same && heard[b] == tone.hertz[b % 3];
        if (same)
            return tone.name;
    }
    return L"";
}

double UnixMilliseconds() {
    FILETIME now{};
    ::GetSystemTimePreciseAsFileTime(&now);
    uint64_t ticks = (uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return (ticks - 116444736000000000ull) / 10000.0;
}

void StartAudioCapture() {
    std::wstring folder = SoundFolder();
    ASSERT_FALSE(folder.empty()) << "DEVICE_AUDIO_HOME is not set: run this test through ctest";
    // The device's sounds must go through ALSA, where the capture sits, even where a sound
    // server would be found.
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Drivers", 0, nullptr, 0,
                          KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        const wchar_t driver[] = L"alsa";
        ::RegSetValueExW(key, L"Audio", 0, REG_SZ, reinterpret_cast<const BYTE *>(driver),
                         sizeof driver);
        ::RegCloseKey(key);
    }
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"\\*.wav").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do
        ::DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

std::vector<CapturedSound> CapturedSounds() {
    std::vector<CapturedSound> sounds;
    std::wstring folder = SoundFolder();
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"\\*.wav").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return sounds;
    do {
        std::vector<float> samples;
        int rate = 0;
        if (!DecodeWave(ReadFile(folder + L"\\" + found.cFileName), &samples, &rate) || !rate)
            continue;
        CapturedSound sound;
        sound.onset = std::wcstoull(found.cFileName, nullptr, 10) / 1e6;
        sound.seconds = double(samples.size()) / rate;
        sound.alarm = IdentifyAlarm(samples, rate);
        sounds.push_back(sound);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(sounds.begin(), sounds.end(),
              [](const CapturedSound &a, const CapturedSound &b) { return a.onset < b.onset; });
    return sounds;
}

bool WaitForSounds(size_t count, unsigned milliseconds) {
    return WaitUntil([&] { return CapturedSounds().size() >= count; }, milliseconds);
}

} // namespace e2e
