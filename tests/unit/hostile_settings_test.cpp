// Bad contents of the settings key, each driven through a start with "/AUTORUN", a whole
// replay series and the panel's "Run": what loads, what the series does, what is read back.
#include "res/resource.h"
#include "settings/settings_panel.h"
#include "tests/unit/device_test.h"

#include <cstdio>
#include <cstring>

using fake::device;

namespace {

const std::wstring Key = L"HKCU\\Software\\Quarnel\\NudgebellPlus";
constexpr DWORD Forced = 0xFFFFFFFF, Untouched = 0x80008000; // the level while a sound plays
constexpr uint64_t Detected = 5000;                          // the first poll finds the reminder
constexpr int TickCap = 1100; // a series still ringing after this many ticks is cut short
constexpr uint64_t Ends = Detected + 4 * 30000; // three replays, 30 s apart, then the end

using Bytes = std::vector<BYTE>;
Bytes Dword(DWORD value) {
    return Bytes(reinterpret_cast<BYTE *>(&value), reinterpret_cast<BYTE *>(&value) + 4);
}
const Bytes Ones = Dword(0xFFFFFFFF);
const wchar_t Max[] = L"4294967295";
Bytes Text(const std::wstring &text, bool terminated = true) {
    Bytes bytes((text.size() + terminated) * sizeof(wchar_t));
    std::memcpy(bytes.data(), text.c_str(), bytes.size());
    return bytes;
}

// A field as text: numbers in decimal, Sound as it stands.
std::wstring FieldText(const std::wstring &name) {
    const std::pair<const wchar_t *, DWORD SettingsRecord::*> fields[] = {
        {L"Play", &SettingsRecord::Play},
        {L"RepeatTimes", &SettingsRecord::RepeatTimes},
        {L"RepeatDelay", &SettingsRecord::RepeatDelay},
        {L"AutoSnooze", &SettingsRecord::AutoSnooze},
        {L"SnoozeChoice", &SettingsRecord::SnoozeChoice},
        {L"VolumeControl", &SettingsRecord::VolumeControl},
        {L"AutoRun", &SettingsRecord::AutoRun},
        {L"Language", &SettingsRecord::Language}};
    for (auto [field, member] : fields)
        if (name == field)
            return std::to_wstring(Settings.*member);
    return Settings.Sound.data();
}
int64_t MillisecondsFromEpoch(const SYSTEMTIME &time) {
    auto ms = [](const SYSTEMTIME &t) {
        FILETIME file{};
        ::SystemTimeToFileTime(&t, &file);
        return static_cast<int64_t>(((uint64_t(file.dwHighDateTime) << 32) | file.dwLowDateTime) /
                                    10000);
    };
    return ms(time) - ms(device().epoch);
}

struct Row {
    const char *what;
    const wchar_t *name;
    DWORD type;
    Bytes data;
    std::wstring loaded, readBack; // the field after start-up, and after "Run"
    DWORD volume = Forced;
    size_t replays = 3;
    size_t wakeUps = 4;
    uint64_t endsAt = Ends; // the tick that ends the series; 0: still ringing at the cap
};

class HostileSettings : public DeviceTest {};

TEST_F(HostileSettings, StartSeriesAndPanelSurviveEveryBadValue) {
    const Row rows[] = {
        // Wrong size or type.
        {"text read as a number", L"RepeatTimes", REG_SZ, Text(L"7"), L"55", L"55", Forced, 55, 56,
         Detected + 56 * 30000},
        {"8 bytes: ignored", L"RepeatTimes", REG_QWORD, Bytes(8, 1), L"3", L"3"},
        {"2 bytes: ignored", L"RepeatDelay", REG_DWORD, Bytes{0xE8, 0x03}, L"30000", L"30000"},
        {"no bytes: ignored, not 0", L"Play", REG_DWORD, {}, L"1", L"1"},
        {"8 bytes: the base value is replaced, the default stays", L"VolumeControl", REG_BINARY,
         Bytes(8, 3), L"0", L"0", Untouched},
        // Out of range for each number.
        {"Play 7", L"Play", REG_DWORD, Dword(7), L"7", L"1"},
        {"RepeatTimes 1000", L"RepeatTimes", REG_DWORD, Dword(1000), L"1000", L"1000", Forced, 1000,
         1001, Detected + 1001 * 30000},
        {"RepeatTimes 2^32-1", L"RepeatTimes", REG_DWORD, Ones, Max, Max, Forced, TickCap,
         TickCap + 1, 0},
        {"RepeatDelay 0: back to back", L"RepeatDelay", REG_DWORD, Dword(0), L"0", L"0", Forced, 3,
         0, Detected + 3 * 500},
        {"RepeatDelay 1000", L"RepeatDelay", REG_DWORD, Dword(1000), L"1000", L"1000", Forced, 3, 0,
         Detected + 4 * 1000},
        {"RepeatDelay 1001", L"RepeatDelay", REG_DWORD, Dword(1001), L"1001", L"1000", Forced, 3, 4,
         Detected + 4 * 1001},
        {"RepeatDelay 2^31", L"RepeatDelay", REG_DWORD, Dword(0x80000000), L"2147483648",
         L"2147483000", Forced, 3, 4, Detected + 4 * 0x80000000ull},
        {"RepeatDelay 2^32-1", L"RepeatDelay", REG_DWORD, Ones, Max, L"4294967000", Forced, 3, 4,
         Detected + 4 * 0xFFFFFFFFull},
        {"AutoSnooze 2^32-1", L"AutoSnooze", REG_DWORD, Ones, Max, L"1"},
        {"SnoozeChoice -1", L"SnoozeChoice", REG_DWORD, Ones, Max, Max},
        {"SnoozeChoice 6", L"SnoozeChoice", REG_DWORD, Dword(6), L"6", Max},
        {"SnoozeChoice 9", L"SnoozeChoice", REG_DWORD, Dword(9), L"9", Max},
        {"VolumeControl -1", L"VolumeControl", REG_DWORD, Ones, Max, Max, Untouched},
        {"VolumeControl 6", L"VolumeControl", REG_DWORD, Dword(6), L"6", Max, Untouched},
        {"VolumeControl 9", L"VolumeControl", REG_DWORD, Dword(9), L"9", Max, Untouched},
        {"AutoRun 5: ticked, nothing made", L"AutoRun", REG_DWORD, Dword(5), L"5", L"1"},
        {"Language 7: learnt anew", L"Language", REG_DWORD, Dword(7), L"7", L"1"},
        {"Language 2^32-1: learnt anew", L"Language", REG_DWORD, Ones, Max, L"1"},
        // Sound: missing, a path, unterminated, too long, mistyped, empty.
        {"missing file", L"Sound", REG_SZ, Text(L"Missing"), L"Missing", L"Alarm1"},
        {"relative path", L"Sound", REG_SZ, Text(L"..\\..\\Alarm2"), L"..\\..\\Alarm2", L"Alarm1"},
        {"network path", L"Sound", REG_SZ, Text(L"\\\\host\\share\\a.wav"),
         L"\\\\host\\share\\a.wav", L"Alarm1"},
        {"no terminator", L"Sound", REG_SZ, Text(L"Alarm2", false), L"Alarm2", L"Alarm2"},
        {"520 bytes, no terminator: cut", L"Sound", REG_SZ, Text(std::wstring(260, L'y'), false),
         std::wstring(259, L'y'), L"Alarm1"},
        {"261 characters: ignored", L"Sound", REG_SZ, Text(std::wstring(261, L'z')), L"Alarm1",
         L"Alarm1"},
        {"binary", L"Sound", REG_BINARY, Text(L"Chimes"), L"Chimes", L"Chimes"},
        {"empty", L"Sound", REG_SZ, {}, L"", L"Alarm1"},
    };
    for (const Row &r : rows) {
        SetUp();
        SCOPED_TRACE(testing::Message() << testing::PrintToString(r.name) << ": " << r.what);
        device().files = {L"\\Windows\\Chimes.wav", L"\\Windows\\Alarm2.wav",
                          L"\\Windows\\Alarm1.wav"};
        fake::SetDword(Key, L"AutoSnooze", 1);
        fake::SetDword(Key, L"VolumeControl", Maximum);
        fake::SetValue(Key, r.name, r.type, r.data);
        device().commandLine = L"/AUTORUN";
        ASSERT_TRUE(StartInstance(Instance(), SW_SHOWNORMAL));
        EXPECT_EQ(FieldText(r.name), r.loaded);
        const std::wstring sound = Settings.Sound.data();

        std::vector<DWORD> volumes;
        device().whilePlaying = [&] { volumes.push_back(device().volume); };
        uint64_t endsAt = 0;
        device().afterTimer = [&, ringing = false](uint64_t due) mutable {
            if (ringing && !WatchState.ringing)
                endsAt = due;
            ringing = WatchState.ringing;
        };
        fake::OpenWindow(L"Dialog", L"Reminder");
        fake::RunFor(Detected);
        for (int tick = 0; WatchState.ringing && tick < TickCap; ++tick)
            fake::RunFor(fake::FindTimer(MainWindow, WatchTimer)->due - device().now);

        EXPECT_EQ(endsAt, r.endsAt);
        EXPECT_EQ(WatchState.ringing, r.endsAt ? 0u : 1u);
        EXPECT_EQ(device().sounds.size(), r.replays);
        for (const fake::SoundPlay &play : device().sounds)
            ASSERT_EQ(play.name, sound) << "the name goes to the platform as loaded";
        EXPECT_EQ(volumes, std::vector<DWORD>(r.replays, r.volume));
        EXPECT_EQ(device().volume, Untouched) << "put back";
        EXPECT_EQ(device().keys.size(), r.endsAt ? 5u : 0u) << "the first duration's keys";
        ASSERT_EQ(device().wakeups.size(), r.wakeUps);
        for (size_t k = 0; k < r.wakeUps; ++k) {
            // Registered in tick k, a sound later; always before tick k + 1.
            const int64_t tick = Detected + k * int64_t(Settings.RepeatDelay);
            const int64_t when = MillisecondsFromEpoch(device().wakeups[k].when);
            ASSERT_GE(when, tick) << "wake-up " << k;
            ASSERT_LT(when, tick + int64_t(Settings.RepeatDelay)) << "wake-up " << k;
        }

        EXPECT_EQ(SettingsPanelProc(SettingsPanel, WM_COMMAND, IDC_RUN, 0), TRUE);
        EXPECT_EQ(FieldText(r.name), r.readBack);
        Settings = SettingsRecord{};
        LoadSettings();
        EXPECT_EQ(FieldText(r.name), r.readBack) << "as stored";
        EXPECT_TRUE(device().messageBoxes.empty());
        EXPECT_TRUE(device().shortcuts.empty());
        EXPECT_EQ(fake::FindTimer(MainWindow, WatchTimer)->period, PollInterval);
    }
    RecordProperty("cases", static_cast<int>(std::size(rows)));
    std::printf("hostile settings: %zu cases\n", std::size(rows));
}

} // namespace
