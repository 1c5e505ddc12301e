// Writes the device's alarm sounds (Alarm1.wav, ...) into the Windows media folder, and its
// default sound into the Windows folder, registered as the system's default sound.
#include "tools/sounds/alarm_tones.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool WriteWave(const std::wstring &path, const AlarmTone &tone) {
    FILE *file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    std::vector<int16_t> samples(ToneBytes(tone) / sizeof(int16_t));
    RenderTone(tone, 1.0, samples.data());
    std::array<uint8_t, WaveHeaderBytes> header = ToneWaveHeader(ToneBytes(tone));
    std::fwrite(header.data(), 1, header.size(), file);
    std::fwrite(samples.data(), sizeof(int16_t), samples.size(), file);
    return std::fclose(file) == 0;
}

bool Write(const std::wstring &path, const AlarmTone &tone) {
    if (WriteWave(path, tone))
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
