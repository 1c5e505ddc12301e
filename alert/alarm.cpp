// The alarm sound under the volume policy, and the system volume with its registry mirror.
#include "alert/alert.h"
#include "platform/registry.h"
#include "platform/sound.h"
#include "settings/settings.h"

namespace {

constexpr WORD MinimumLevel = 0x4000; // a quarter of full scale: quiet, never silent
constexpr WORD MediumLevel = 0xA000;
constexpr WORD MaximumLevel = 0xFFFF;

} // namespace

bool ChooseLevel(DWORD mode, DWORD ringCount, WORD *level) {
    switch (mode) {
    case Minimum:
        *level = MinimumLevel;
        return true;
    case Medium:
        *level = MediumLevel;
        return true;
    case Maximum:
        *level = MaximumLevel;
        return true;
    case Gradual:
        // The series rises: quiet for its first replay, medium for the second, full after.
        *level = ringCount == 0 ? MinimumLevel : ringCount == 1 ? MediumLevel : MaximumLevel;
        return true;
    default: // DontChange, and anything the panel or the registry left that is no mode
        return false;
    }
}

void PlayAlarm(const wchar_t *soundName, DWORD volumeMode, DWORD ringCount) {
    WORD level = 0;
    DWORD savedLevel = 0;
    bool changed = ChooseLevel(volumeMode, ringCount, &level) &&
                   SetSystemVolume(MAKELONG(level, level), &savedLevel);
    plat::sndPlaySoundW(soundName, 0);
    if (changed) {
        SetSystemVolume(savedLevel, nullptr);
        ForgetRecordedVolume();
    }
}

void RestoreRecordedVolume() {
    DWORD level = 0;
    if (!RecordedVolume(&level))
        return;
    SetSystemVolume(level, nullptr);
    ForgetRecordedVolume();
}

bool SetSystemVolume(DWORD level, DWORD *savedLevel) {
    // A level that cannot be read cannot be put back, so nothing is forced: the sound then
    // plays at the level in force.
    if (savedLevel && plat::waveOutGetVolume(plat::OutputDevice, savedLevel) != MMSYSERR_NOERROR)
        return false;
    // On record before it is changed: a program ended in the middle of the play, from outside or
    // by a crash, has it put back at its next start.
    if (savedLevel)
        RecordVolume(*savedLevel);
    plat::waveOutSetVolume(plat::OutputDevice, level);
    WriteRegistryDword(HKEY_CURRENT_USER, plat::VolumeMirrorKey, plat::VolumeMirrorValue, level);
    plat::AudioUpdateFromRegistry();
    return true;
}

LONG WriteRegistryDword(HKEY rootKey, const wchar_t *subKey, const wchar_t *valueName,
                        DWORD value) {
    plat::ScopedKey key;
    DWORD disposition = 0;
    LONG status = plat::RegCreateKeyExW(rootKey, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                        key.Receive(), &disposition);
    if (status != ERROR_SUCCESS) {
        key.Release(); // a failed call answers no key
        return status;
    }
    return plat::RegSetValueExW(key.Get(), valueName, 0, REG_DWORD,
                                reinterpret_cast<const BYTE *>(&value), sizeof value);
}
