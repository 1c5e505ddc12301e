// The alarm: the volume forced for one play and put back, and its registry mirror.
#include "alert/alert.h"
#include "tests/fake/log.h"
#include "tests/unit/device_test.h"

#include <optional>

using fake::device;

namespace {

const std::wstring MirrorKey = L"HKCU\\ControlPanel\\Volume";
constexpr DWORD Before = 0x80008000; // the simulated device's level before each play

std::optional<DWORD> Mirror() {
    const fake::RegistryValue *value = fake::GetValue(MirrorKey, L"Volume");
    if (!value || value->type != REG_DWORD || value->data.size() != 4)
        return std::nullopt;
    return *reinterpret_cast<const DWORD *>(value->data.data());
}

std::vector<std::wstring> SetLevelCalls(DWORD level) {
    return {L"waveOutSetVolume 0, " + std::to_wstring(level),
            L"RegCreateKeyExW \"ControlPanel\\Volume\", 0, 983103",
            L"RegSetValueExW \"Volume\", 4, 4", L"RegCloseKey", L"AudioUpdateFromRegistry"};
}

// What one play calls when it forces `level`; none: the play alone.
std::vector<std::wstring> PlayCalls(std::optional<DWORD> level) {
    const std::wstring play = L"sndPlaySoundW \"Alarm1\", 0";
    if (!level)
        return {play};
    std::vector<std::wstring> calls{L"waveOutGetVolume 0"};
    for (const std::wstring &call : SetLevelCalls(*level))
        calls.push_back(call);
    calls.push_back(play);
    for (const std::wstring &call : SetLevelCalls(Before))
        calls.push_back(call);
    return calls;
}

class Alarm : public DeviceTest {};

TEST_F(Alarm, EachModeForcesItsLevelForThePlayAndPutsTheOldOneBack) {
    struct Case {
        DWORD mode;
        DWORD ringCount;
        std::optional<DWORD> level;
    };
    const Case cases[] = {
        {DontChange, 0, std::nullopt}, {Minimum, 0, 0x40004000},    {Medium, 0, 0xA000A000},
        {Maximum, 0, 0xFFFFFFFF},      {Gradual, 0, 0x40004000},    {Gradual, 1, 0xA000A000},
        {Gradual, 2, 0xFFFFFFFF},      {Gradual, 1000, 0xFFFFFFFF}, {5, 0, std::nullopt},
        {0xFFFFFFFF, 0, std::nullopt}, {Minimum, 1000, 0x40004000},
    };
    for (const Case &c : cases) {
        SetUp();
        device().volume = Before;
        Settings.VolumeControl = c.mode;
        WatchState.ringCount = c.ringCount;
        DWORD duringPlay = 0;
        std::optional<DWORD> mirrorDuringPlay;
        device().whilePlaying = [&] {
            duringPlay = device().volume;
            mirrorDuringPlay = Mirror();
        };

        PlayAlarm(L"Alarm1");

        SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", ringCount " << c.ringCount);
        EXPECT_EQ(device().calls, PlayCalls(c.level));
        EXPECT_EQ(duringPlay, c.level.value_or(Before));
        EXPECT_EQ(mirrorDuringPlay, c.level);
        EXPECT_EQ(device().volume, Before);
        EXPECT_EQ(Mirror(), c.level ? std::optional<DWORD>(Before) : std::nullopt);
        EXPECT_EQ(fake::KeyExists(MirrorKey), c.level.has_value()) << "created by the first write";
        EXPECT_EQ(WatchState.ringCount, c.ringCount);
    }
}

TEST_F(Alarm, UnreadableLevelFallsBackToTheMirrorOrLeavesTheVolumeAlone) {
    device().volumeReadResult = MMSYSERR_INVALHANDLE;
    device().volume = Before;
    Settings.VolumeControl = Maximum;

    // Nothing known to put back: nothing is forced, the sound plays at the level in force.
    PlayAlarm(L"Alarm1");
    EXPECT_EQ(device().calls,
              (std::vector<std::wstring>{L"waveOutGetVolume 0",
                                         L"RegOpenKeyExW \"ControlPanel\\Volume\", 983103",
                                         L"sndPlaySoundW \"Alarm1\", 0"}));
    EXPECT_EQ(device().volume, Before);
    EXPECT_FALSE(fake::KeyExists(MirrorKey));

    // The mirror's level is what the system last knew: it is the one put back.
    for (DWORD mirrored : {DWORD{0x12341234}, DWORD{0}}) {
        SetUp();
        device().volumeReadResult = MMSYSERR_INVALHANDLE;
        Settings.VolumeControl = Maximum;
        fake::SetDword(MirrorKey, L"Volume", mirrored);
        std::vector<DWORD> duringPlay;
        device().whilePlaying = [&] { duringPlay.push_back(Mirror().value_or(1)); };
        PlayAlarm(L"Alarm1");
        EXPECT_EQ(duringPlay, std::vector<DWORD>{0xFFFFFFFF});
        EXPECT_EQ(Mirror(), mirrored);
        EXPECT_EQ(fake::CallsStartingWith(L"waveOutSetVolume").back(),
                  L"waveOutSetVolume 0, " + std::to_wstring(mirrored));
    }
}

TEST_F(Alarm, FailedSetsAndMirrorWritesDoNotStopThePlayOrTheRestore) {
    struct Case {
        const char *what;
        MMRESULT setResult;
        bool keyFails;
        bool valueFails;
    };
    for (const Case &c : {Case{"device refuses the level", MMSYSERR_ERROR, false, false},
                          Case{"mirror key cannot be created", MMSYSERR_NOERROR, true, false},
                          Case{"mirror value cannot be written", MMSYSERR_NOERROR, false, true}}) {
        SetUp();
        device().volume = Before;
        device().volumeWriteResult = c.setResult;
        if (c.keyFails)
            device().failingKeys.push_back(fake::Lower(MirrorKey));
        if (c.valueFails)
            device().failingValues.push_back(L"Volume");
        Settings.VolumeControl = Medium;

        PlayAlarm(L"Alarm1");

        SCOPED_TRACE(c.what);
        EXPECT_EQ(device().sounds.size(), 1u);
        EXPECT_EQ(fake::CallsStartingWith(L"waveOutSetVolume"),
                  (std::vector<std::wstring>{L"waveOutSetVolume 0, 2684395520",
                                             L"waveOutSetVolume 0, 2147516416"}));
        EXPECT_EQ(fake::CallsStartingWith(L"AudioUpdateFromRegistry").size(), 2u);
        EXPECT_EQ(device().volume, Before);
        if (!c.keyFails) {
            EXPECT_EQ(fake::CallsStartingWith(L"RegCloseKey").size(), 2u) << "every key closed";
        }
    }
}

TEST_F(Alarm, WriteRegistryDwordReportsTheFailingStep) {
    EXPECT_EQ(WriteRegistryDword(HKEY_CURRENT_USER, L"A\\B", L"V", 7), ERROR_SUCCESS);
    const fake::RegistryValue *value = fake::GetValue(L"HKCU\\A\\B", L"V");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value->data, (std::vector<BYTE>{7, 0, 0, 0}));

    device().failingKeys.push_back(L"hkcu\\a\\c");
    device().calls.clear();
    EXPECT_EQ(WriteRegistryDword(HKEY_CURRENT_USER, L"A\\C", L"V", 7), ERROR_ACCESS_DENIED);
    EXPECT_EQ(fake::IndexOfCall(L"RegSetValueExW"), -1);
    EXPECT_EQ(fake::IndexOfCall(L"RegCloseKey"), -1) << "no key to close";

    device().failingValues.push_back(L"W");
    device().calls.clear();
    EXPECT_EQ(WriteRegistryDword(HKEY_CURRENT_USER, L"A\\B", L"W", 7), ERROR_ACCESS_DENIED);
    EXPECT_GE(fake::IndexOfCall(L"RegCloseKey"), 0);
}

} // namespace
