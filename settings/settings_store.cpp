// The settings record and its registry store. Every value name, type and default lives here.
#include "platform/registry.h"
#include "settings/settings.h"

#include <algorithm>
#include <cstring>

SettingsRecord Settings;

// Language comes last: only the watch cycle writes it, on its own.
const std::array<DwordValue, 8> DwordValues{{
    {L"Play", &SettingsRecord::Play},
    {L"RepeatTimes", &SettingsRecord::RepeatTimes},
    {L"RepeatDelay", &SettingsRecord::RepeatDelay},
    {L"AutoSnooze", &SettingsRecord::AutoSnooze},
    {L"SnoozeChoice", &SettingsRecord::SnoozeChoice},
    {L"VolumeControl", &SettingsRecord::VolumeControl},
    {L"AutoRun", &SettingsRecord::AutoRun},
    {L"Language", &SettingsRecord::Language},
}};

namespace {

constexpr LPCWSTR SettingsKey = L"Software\\Quarnel\\NudgebellPlus";
constexpr LPCWSTR VolumeRecordValue = L"VolumeToRestore";
const DwordValue &LanguageValue = DwordValues.back();

void ReadDword(HKEY key, const DwordValue &value) {
    std::array<BYTE, sizeof(DWORD)> data{};
    DWORD size = sizeof data;
    if (plat::RegQueryValueExW(key, value.name, nullptr, nullptr, data.data(), &size) ==
        ERROR_SUCCESS)
        TakeStoredDword(std::span(data).first(std::min<size_t>(size, data.size())),
                        &(Settings.*value.field));
}

void ReadSound(HKEY key) {
    std::array<BYTE, SoundCapacity * sizeof(wchar_t)> data{};
    DWORD size = sizeof data;
    if (plat::RegQueryValueExW(key, L"Sound", nullptr, nullptr, data.data(), &size) ==
        ERROR_SUCCESS)
        TakeStoredSound(std::span(data).first(std::min<size_t>(size, data.size())), Settings.Sound);
}

void WriteDword(HKEY key, const DwordValue &value) {
    DWORD data = Settings.*value.field;
    plat::RegSetValueExW(key, value.name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&data),
                         sizeof data);
}

plat::ScopedKey CreateSettingsKey() {
    plat::ScopedKey key;
    if (plat::RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, key.Receive(), nullptr) != ERROR_SUCCESS)
        key.Release(); // a failed call answers no key
    return key;
}

plat::ScopedKey OpenSettingsKey() {
    plat::ScopedKey key;
    if (plat::RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKey, 0, KEY_ALL_ACCESS, key.Receive()) !=
        ERROR_SUCCESS)
        key.Release();
    return key;
}

} // namespace

void TakeStoredDword(std::span<const BYTE> data, DWORD *field) {
    if (data.size() == sizeof *field)
        std::memcpy(field, data.data(), sizeof *field);
}

void TakeStoredSound(std::span<const BYTE> data, std::array<wchar_t, SoundCapacity> &sound) {
    // Whole characters only: an odd last byte is no part of the text.
    std::array<wchar_t, SoundCapacity> text{};
    size_t length = std::min(data.size() / sizeof(wchar_t), text.size());
    std::memcpy(text.data(), data.data(), length * sizeof(wchar_t));
    // Text stored without its terminator, even one that fills the whole field, is cut to fit.
    text.back() = L'\0';
    sound = text;
}

void LoadSettings() {
    plat::ScopedKey key = OpenSettingsKey();
    if (!key)
        return;
    for (const DwordValue &value : DwordValues)
        ReadDword(key.Get(), value);
    ReadSound(key.Get());
}

void SaveSettings() {
    plat::ScopedKey key = CreateSettingsKey();
    if (!key)
        return;
    for (const DwordValue &value : DwordValues)
        if (&value != &LanguageValue)
            WriteDword(key.Get(), value);
    DWORD length = 0;
    while (length + 1 < SoundCapacity && Settings.Sound[length])
        ++length;
    plat::RegSetValueExW(key.Get(), L"Sound", 0, REG_SZ,
                         reinterpret_cast<const BYTE *>(Settings.Sound.data()),
                         (length + 1) * sizeof(wchar_t));
}

void RecordVolume(DWORD level) {
    if (plat::ScopedKey key = CreateSettingsKey())
        plat::RegSetValueExW(key.Get(), VolumeRecordValue, 0, REG_DWORD,
                             reinterpret_cast<const BYTE *>(&level), sizeof level);
}

bool RecordedVolume(DWORD *level) {
    plat::ScopedKey key = OpenSettingsKey();
    DWORD size = sizeof *level;
    return key &&
           plat::RegQueryValueExW(key.Get(), VolumeRecordValue, nullptr, nullptr,
                                  reinterpret_cast<BYTE *>(level), &size) == ERROR_SUCCESS &&
           size == sizeof *level;
}

void ForgetRecordedVolume() {
    if (plat::ScopedKey key = OpenSettingsKey())
        plat::RegDeleteValueW(key.Get(), VolumeRecordValue);
}

void SaveLanguage() {
    if (plat::ScopedKey key = CreateSettingsKey())
        WriteDword(key.Get(), LanguageValue);
}
