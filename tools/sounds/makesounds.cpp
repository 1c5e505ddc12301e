// Writes the device's alarm sounds (Alarm1.wav, ...) into the Windows media folder, and its
// default sound into the Windows folder, registered as the system's default sound.
#include "tools/sounds/alarm_tones.h"

#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<int16_t> Render(const AlarmTone &tone) {
    const int beep = ToneSampleRate * ToneBeepMilliseconds / 1000;
    const int gap = ToneSampleRate * ToneGapMilliseconds / 1000;
    std::vector<int16_t> samples;
    for (int b = 0; b < tone.beeps; ++b) {
        for (int i = 0; i < beep; ++i) {
            // A short rise and fall keeps the beep free of clicks.
            double envelope = std::fmin(1.0, std::fmin(i, beep - i) / (0.01 * ToneSampleRate));
            double phase = 2 * 3.14159265358979 * tone.hertz[b % 3] * i / ToneSampleRate;
            samples.push_back(static_cast<int16_t>(12000 * envelope * std::sin(phase)));
        }
        samples.insert(samples.end(), gap, 0);
    }
    return samples;
}

bool WriteWave(const std::wstring &path, const std::vector<int16_t> &samples) {
    FILE *file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    auto put32 = [file](uint32_t v) { std::fwrite(&v, 4, 1, file); };
    auto put16 = [file](uint16_t v) { std::fwrite(&v, 2, 1, file); };
    uint32_t bytes = static_cast<uint32_t>(samples.size() * sizeof(int16_t));
    std::fwrite("RIFF", 1, 4, file);
    put32(36 + bytes);
    std::fwrite("WAVEfmt ", 1, 8, file);
    put32(16);
    put16(1); // PCM
    put16(1); // mono
    put32(ToneSampleRate);
    put32(ToneSampleRate * 2);
    put16(2);
    put16(16);
    std::fwrite("data", 1, 4, file);
    put32(bytes);
    std::fwrite(samples.data(), sizeof(int16_t), samples.size(), file);
    return std::fclose(file) == 0;
}

bool Write(const std::wstring &path, const AlarmTone &tone) {
    if (WriteWave(path, Render(tone)))
        return true;
    std::fwprintf(stderr, L"makesounds: cannot write %ls\n", path.c_str());
    return false;
}

} // namespace

int wmain() {
    wchar_t windows[MAX_PATH] = L"";
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring media = std::wstring(windows) + L"\\Media\\";
    CreateDirectoryW(media.c_str(), nullptr);
    for (const AlarmTone &tone : AlarmTones)
        if (!Write(media + tone.name + L".wav", tone))
            return 1;
    const std::wstring fallback = std::wstring(windows) + L"\\" + DefaultTone.name + L".wav";
    if (!Write(fallback, DefaultTone))
        return 1;
    // Wine reads the default sound from the [Sounds] section of win.ini, which lives here;
    // desktop Windows from the default scheme's entry.
    const DWORD size = DWORD(fallback.size() + 1) * sizeof(wchar_t);
    return RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Sounds", L"Default", REG_SZ,
                           fallback.c_str(), size) ||
           RegSetKeyValueW(HKEY_CURRENT_USER,
                           L"AppEvents\\Schemes\\Apps\\.Default\\.Default\\.Current", nullptr,
                           REG_SZ, fallback.c_str(), size);
}
