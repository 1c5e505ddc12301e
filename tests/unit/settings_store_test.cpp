// The settings store: defaults, what loads from the registry and what a save leaves there.
#include "tests/fake/log.h"
#include "tests/unit/device_test.h"

using fake::device;

namespace {

const std::wstring Key = L"HKCU\\Software\\Quarnel\\NudgebellPlus";

// Every stored double-word: its value name, its field, and its default.
struct DwordSetting {
    const wchar_t *name;
    DWORD SettingsRecord::*field;
    DWORD byDefault;
};
const DwordSetting DwordSettings[] = {
    {L"Play", &SettingsRecord::Play, 1},
    {L"RepeatTimes", &SettingsRecord::RepeatTimes, 3},
    {L"RepeatDelay", &SettingsRecord::RepeatDelay, 30000},
    {L"AutoSnooze", &SettingsRecord::AutoSnooze, 0},
    {L"SnoozeChoice", &SettingsRecord::SnoozeChoice, 0},
    {L"VolumeControl", &SettingsRecord::VolumeControl, 0},
    {L"AutoRun", &SettingsRecord::AutoRun, 0},
    {L"Language", &SettingsRecord::Language, 0},
};

std::wstring Sound() {
    return Settings.Sound.data();
}

class SettingsStore : public DeviceTest {};

TEST_F(SettingsStore, FirstRunKeepsTheDefaultsAndCreatesNoKey) {
    LoadSettings();
    for (const DwordSetting &s : DwordSettings)
        EXPECT_EQ(Settings.*s.field, s.byDefault) << testing::PrintToString(s.name);
    EXPECT_EQ(Sound(), L"Alarm1");
    EXPECT_FALSE(fake::KeyExists(Key));
    EXPECT_EQ(fake::IndexOfCall(L"RegCreateKeyExW"), -1);
}

TEST_F(SettingsStore, SaveWritesEveryValueButLanguageAndLoadsBack) {
    fake::SetDword(Key, L"Language", 4);
    DWORD n = 100;
    for (const DwordSetting &s : DwordSettings)
        Settings.*s.field = ++n;
    Settings.Sound = {L"Alarm3"};

    SaveSettings();

    const fake::RegistryValue *language = fake::GetValue(Key, L"Language");
    ASSERT_NE(language, nullptr);
    EXPECT_EQ(language->data, (std::vector<BYTE>{4, 0, 0, 0})) << "left as stored";
    for (const DwordSetting &s : DwordSettings) {
        if (s.field == &SettingsRecord::Language)
            continue;
        const fake::RegistryValue *value = fake::GetValue(Key, s.name);
        ASSERT_NE(value, nullptr) << testing::PrintToString(s.name);
        EXPECT_EQ(value->type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(value->data.size(), 4u);
    }
    EXPECT_EQ(device().registry[fake::Lower(Key)].size(), 9u);

    SettingsRecord saved = Settings;
    Settings = SettingsRecord{};
    LoadSettings();
    for (const DwordSetting &s : DwordSettings) {
        if (s.field != &SettingsRecord::Language) {
            EXPECT_EQ(Settings.*s.field, saved.*s.field) << testing::PrintToString(s.name);
        }
    }
    EXPECT_EQ(Settings.Language, 4u);
    EXPECT_EQ(Sound(), L"Alarm3");
}

TEST_F(SettingsStore, NewKeyHoldsNoLanguageUntilItIsLearned) {
    Settings.Language = 3;
    SaveSettings();
    EXPECT_EQ(device().registry[fake::Lower(Key)].size(), 8u);
    EXPECT_EQ(fake::GetValue(Key, L"Language"), nullptr);

    device().calls.clear();
    SaveLanguage();
    const fake::RegistryValue *language = fake::GetValue(Key, L"Language");
    ASSERT_NE(language, nullptr);
    EXPECT_EQ(language->data, (std::vector<BYTE>{3, 0, 0, 0}));
    EXPECT_EQ(fake::CallsStartingWith(L"RegSetValueExW"),
              std::vector<std::wstring>{L"RegSetValueExW \"Language\", 4, 4"});
}

TEST_F(SettingsStore, SoundRoundTripsWithItsTerminator) {
    struct Case {
        std::wstring sound;
        size_t bytes;
    };
    for (const Case &c : {Case{L"", 2}, Case{L"Alarm3", 14}, Case{std::wstring(259, L'x'), 520},
                          Case{L"\u041D\u0430\u043F", 8}}) {
        SetUp();
        std::copy(c.sound.begin(), c.sound.end(), Settings.Sound.begin());
        Settings.Sound[c.sound.size()] = L'\0';

        SaveSettings();
        const fake::RegistryValue *value = fake::GetValue(Key, L"Sound");
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(value->data.size(), c.bytes) << c.sound.size() << " characters";

        Settings = SettingsRecord{};
        LoadSettings();
        EXPECT_EQ(Sound(), c.sound);
    }
}

// The rest of the bad values are in the hostile-settings suite.
TEST_F(SettingsStore, SoundOfAnOddByteCountDropsTheHalfCharacter) {
    fake::SetValue(Key, L"Sound", REG_SZ, {'a', 0, 'b', 0, 'c'});
    LoadSettings();
    EXPECT_EQ(Sound(), L"ab");
}

TEST_F(SettingsStore, SaveGoesOnPastAFailedWriteAndClosesTheKeyOnce) {
    device().failingValues.push_back(L"RepeatDelay");
    SaveSettings();
    EXPECT_EQ(fake::GetValue(Key, L"RepeatDelay"), nullptr);
    EXPECT_NE(fake::GetValue(Key, L"Sound"), nullptr);
    EXPECT_EQ(fake::CallsStartingWith(L"RegCloseKey").size(), 1u);
}

} // namespace
