// The settings store: defaults, what loads from the registry and what a save leaves there.
#include "tests/fake/log.h"
#include "tests/unit/device_test.h"

#include <cstring>

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

std::vector<BYTE> Text(const std::wstring &text, bool terminated = true) {
    std::vector<BYTE> bytes((text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
    std::memcpy(bytes.data(), text.c_str(), bytes.size());
    return bytes;
}

std::wstring Sound() {
    return Settings.Sound.data();
}

void ExpectDefaults(const char *when) {
    for (const DwordSetting &s : DwordSettings)
        EXPECT_EQ(Settings.*s.field, s.byDefault) << when << ": " << testing::PrintToString(s.name);
    EXPECT_EQ(Sound(), L"Alarm1") << when;
}

class SettingsStore : public DeviceTest {};

TEST_F(SettingsStore, FirstRunKeepsTheDefaultsAndCreatesNoKey) {
    LoadSettings();
    ExpectDefaults("first run");
    EXPECT_FALSE(fake::KeyExists(Key));
    EXPECT_EQ(fake::IndexOfCall(L"RegCreateKeyExW"), -1);
}

TEST_F(SettingsStore, EachStoredValueLoadsIntoItsOwnFieldAlone) {
    fake::SetDword(Key, L"RepeatTimes", 7);
    LoadSettings();
    EXPECT_EQ(Settings.RepeatTimes, 7u);
    Settings.RepeatTimes = 3;
    ExpectDefaults("only RepeatTimes stored");

    // Whatever a field holds loads unchanged: nothing here clamps a value.
    for (const DwordSetting &s : DwordSettings) {
        SetUp();
        for (DWORD stored : {9u, 7u, 0x80000000u, 0xFFFFFFFFu}) {
            fake::SetDword(Key, s.name, stored);
            LoadSettings();
            EXPECT_EQ(Settings.*s.field, stored) << testing::PrintToString(s.name);
        }
    }
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

TEST_F(SettingsStore, OversizedShortAndMistypedValuesNeverOverrunAField) {
    struct Case {
        const char *what;
        const wchar_t *name;
        DWORD type;
        std::vector<BYTE> data;
        DWORD repeatTimes;
        std::wstring sound;
    };
    const std::wstring full(260, L'y');
    const Case cases[] = {
        {"double-word of 8 bytes: unchanged",
         L"RepeatTimes",
         REG_QWORD,
         {7, 0, 0, 0, 1, 0, 0, 0},
         3,
         L"Alarm1"},
        {"double-word of 2 bytes: unchanged", L"RepeatTimes", REG_BINARY, {7, 0}, 3, L"Alarm1"},
        {"type is not examined", L"RepeatTimes", REG_BINARY, {7, 0, 0, 0}, 7, L"Alarm1"},
        {"text of 4 bytes read as a double-word", L"RepeatTimes", REG_SZ, Text(L"7"), 0x37,
         L"Alarm1"},
        {"text of 6 bytes as a double-word: unchanged", L"RepeatTimes", REG_SZ, Text(L"12"), 3,
         L"Alarm1"},
        {"Sound of 261 characters: unchanged", L"Sound", REG_SZ, Text(std::wstring(261, L'z')), 3,
         L"Alarm1"},
        {"Sound filling 520 bytes unterminated: cut to 259", L"Sound", REG_SZ, Text(full, false), 3,
         full.substr(0, 259)},
        {"Sound without terminator", L"Sound", REG_SZ, Text(L"Chime", false), 3, L"Chime"},
        {"Sound of an odd byte count", L"Sound", REG_SZ, {'a', 0, 'b', 0, 'c'}, 3, L"ab"},
        {"Sound stored as a double-word", L"Sound", REG_DWORD, {'B', 0, 'z', 0}, 3, L"Bz"},
        {"Sound empty and untyped", L"Sound", REG_NONE, {}, 3, L""},
    };
    for (const Case &c : cases) {
        SetUp();
        fake::SetValue(Key, c.name, c.type, c.data);
        LoadSettings();
        EXPECT_EQ(Settings.RepeatTimes, c.repeatTimes) << c.what;
        EXPECT_EQ(Sound(), c.sound) << c.what;
    }
}

TEST_F(SettingsStore, SaveGoesOnPastAFailedWriteAndStopsWithoutAKey) {
    device().failingValues.push_back(L"RepeatDelay");
    Settings.AutoSnooze = 1;
    SaveSettings();
    EXPECT_EQ(fake::GetValue(Key, L"RepeatDelay"), nullptr);
    EXPECT_NE(fake::GetValue(Key, L"AutoSnooze"), nullptr);
    EXPECT_NE(fake::GetValue(Key, L"Sound"), nullptr);
    EXPECT_EQ(fake::CallsStartingWith(L"RegCloseKey").size(), 1u);

    SetUp();
    device().failingKeys.push_back(fake::Lower(Key));
    SaveSettings();
    SaveLanguage();
    EXPECT_FALSE(fake::KeyExists(Key));
    EXPECT_EQ(fake::IndexOfCall(L"RegSetValueExW"), -1);
}

} // namespace
