// The real program on a device whose sound goes wrong: no default sound, an output that takes a
// play and never gives it back, and a copy killed in the middle of a forced play.
#include "res/resource.h"
#include "tests/e2e/harness.h"
#include "tools/sounds/alarm_tones.h"

#include <fstream>

namespace {

using namespace e2e;

constexpr DWORD Half = 0x80008000, Full = 0xFFFFFFFF, Bound = 3500;

class SoundRun : public ProgramTest {
  protected:
    void TearDown() override {
        ProgramTest::TearDown();
        for (const wchar_t *file : {L"Long.wav", L"Broken.wav"})
            ::DeleteFileW((media / file).c_str());
        std::ofstream(config) << capture;
    }
    // Presses ">" in the panel of the copy just started, with `sound` and volume mode `volume`.
    HWND TryOut(Process &program, const wchar_t *sound, WPARAM volume) {
        HWND panel = ::FindWindowExW(WaitForProgramWindow(program), nullptr, L"#32770", nullptr);
        ::SendDlgItemMessageW(panel, IDC_SOUND, CB_SELECTSTRING, WPARAM(-1), LPARAM(sound));
        ::SendDlgItemMessageW(panel, IDC_VOLUME, CB_SETCURSEL, volume, 0);
        ::PostMessageW(::GetDlgItem(panel, IDC_TEST), BM_CLICK, 0, 0);
        return panel;
    }
    const fs::path config = DevicePath(std::getenv("DEVICE_AUDIO_HOME")) + L"\\.asoundrc";
    const fs::path media = fs::path(::_wgetenv(L"WINDIR")) / L"Media";
    const std::string capture{std::istreambuf_iterator<char>(std::ifstream(config).rdbuf()), {}};
};

TEST_F(SoundRun, NoOutputDefaultSoundOrKillSilencesTheAlarmOrLeavesTheLevelForced) {
    // Neither the chosen sound (no sound in the file) nor the system's default (taken away, then
    // set to none as Windows' "No Sounds" scheme does) can be played: the program's own tone.
    const wchar_t *scheme = L"AppEvents\\Schemes\\Apps\\.Default\\.Default\\.Current";
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Sounds", L"Default");
    std::ofstream(media / L"Broken.wav") << "no wave";
    StartAudioCapture();
    Process program = StartProgram(L"");
    for (size_t heard : {1, 2}) {
        heard == 1 ? ::RegDeleteKeyValueW(HKEY_CURRENT_USER, scheme, nullptr)
                   : ::RegSetKeyValueW(HKEY_CURRENT_USER, scheme, nullptr, REG_SZ, L"", 2);
        TryOut(program, L"Broken", 0);
        EXPECT_TRUE(WaitUntil([&] { return CapturedSounds().size() == heard; }, Bound));
    }
    EXPECT_EQ(Wait(Start(DevicePath(NUDGEBELL_TOOLS) + L"\\makesounds.exe", L""), 10000), 0u)
        << "the default sound not registered again";
    for (const CapturedSound &sound : CapturedSounds())
        EXPECT_EQ(sound.alarm, L"Built-in");
    EndAllCopies();

    // The sounds go to a command that reads nothing for longer than the run (capture-sounds
    // --stall). Through a series the ticks, wake-ups and keys go on and the level is put back; a
    // second start and the panel are answered, and "Exit" ends the program.
    std::ofstream(config) << "pcm.!default { type file slave.pcm \"null\" "
                             "file \"|exec sleep 60 >/dev/null 2>&1\" format \"wav\" }\n";
    WriteSetting(L"RepeatTimes", 2), WriteSetting(L"RepeatDelay", 2000);
    WriteSetting(L"AutoSnooze", 1), WriteSetting(L"VolumeControl", 3);
    WriteValue(VolumeKey, L"Volume", &Half);
    program = StartProgram(L"/AUTORUN");
    HWND main = WaitForProgramWindow(program);
    HANDLE copies = ::CreateJobObjectW(nullptr, nullptr); // the wake-up starts join it
    ::AssignProcessToJobObject(copies, program.Get());
    const fs::path report = OpenReminder(L"/title:1");
    EXPECT_TRUE(WaitUntil([&] { return !::FindWindowW(L"Dialog", nullptr); }, 15000));
    EXPECT_EQ(Received(report),
              "key 40\nkey 40\nkey 40\nkey 38\nkey 13\nsnoozed 5 minutes\nclosed\n");
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION job{};
    ::QueryInformationJobObject(copies, JobObjectBasicAccountingInformation, &job, sizeof job, 0);
    EXPECT_GE(job.TotalProcesses, 3u) << "no wake-up after the stalled play";
    EXPECT_EQ(ReadValue(VolumeKey, L"Volume"), Half) << "level put back";
    EXPECT_EQ(Wait(StartProgram(L""), Bound), 0u) << "the second start waits";
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == main; }, Bound));
    ::PostMessageW(::GetDlgItem(TryOut(program, L"Alarm1", 3), IDC_EXIT), BM_CLICK, 0, 0);
    EXPECT_EQ(Wait(program, 2 * Bound), 0u) << "\">\" and \"Exit\" not answered";

    // Killed in a forced play of 4 s: the next start puts the level back and drops the record.
    std::ofstream(media / L"Long.wav", std::ios::binary)
            .write((char *)ToneWaveHeader(8 * ToneSampleRate).data(), WaveHeaderBytes)
        << std::string(8 * ToneSampleRate, '\0');
    TryOut(program = StartProgram(L""), L"Long", 3);
    ASSERT_TRUE(WaitUntil([] { return ReadValue(VolumeKey, L"Volume") == Full; }, Bound));
    EXPECT_EQ(Wait(StartProgram(L""), 1500), 0u) << "the second start waits for the play";
    EXPECT_EQ(ReadValue(SettingsKey, L"VolumeToRestore"), Half) << "no record of the level";
    ::TerminateProcess(program.Get(), 9); // as kill -9: nothing of the program runs
    Wait(program, Bound);
    ASSERT_NE(WaitForProgramWindow(program = StartProgram(L"/AUTORUN")), nullptr);
    EXPECT_EQ(ReadValue(VolumeKey, L"Volume"), Half) << "left forced";
    EXPECT_EQ(ReadValue(SettingsKey, L"VolumeToRestore"), std::nullopt);
}

} // namespace
