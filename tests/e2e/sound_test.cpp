// The real program on a device whose sound goes wrong: an output that takes a play and never
// gives it back, and a device that registers no default sound.
#include "res/resource.h"
#include "tests/e2e/harness.h"
#include "tools/sounds/alarm_tones.h"

#include <tlhelp32.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

namespace {

using namespace e2e;
namespace fs = std::filesystem;

constexpr DWORD Delay = 2000, Half = 0x80008000, Full = 0xFFFFFFFF, Bound = 3500;
constexpr wchar_t Record[] = L"VolumeToRestore";

class SoundRun : public ProgramTest {
  protected:
    void TearDown() override {
        if (HWND reminder = ::FindWindowW(L"Dialog", nullptr)) // left open by a failure
            ::SendMessageW(reminder, WM_CLOSE, 0, 0);
        ProgramTest::TearDown();
        std::error_code ignored;
        for (const wchar_t *file : {L"Long.wav", L"Broken.wav"})
            fs::remove(media / file, ignored);
        if (!capture.empty())
            std::ofstream(config) << capture;
    }
    // The programs started from now on send their sounds to ALSA's file plugin, into a command
    // that does not read them for longer than the run lasts: the output's close waits for it.
    // Their ALSA configuration is the recorder's (tools/device/capture-sounds), put back after.
    void StallOutput() {
        std::ifstream in(config);
        capture.assign(std::istreambuf_iterator<char>(in), {});
        ASSERT_FALSE(capture.empty()) << "DEVICE_AUDIO_HOME is not set: run it through ctest";
        std::ofstream(config) << "pcm.!default { type file slave.pcm \"null\" "
                                 "file \"|exec sleep 60 >/dev/null 2>&1\" format \"wav\" }\n";
    }
    const char *home = std::getenv("DEVICE_AUDIO_HOME");
    const fs::path config = DevicePath(home ? home : "/nowhere") + L"\\.asoundrc";
    const fs::path media = fs::path(::_wgetenv(L"WINDIR")) / L"Media";
    std::string capture;
};

// Presses ">" in the panel of the copy just started, with `sound` and volume mode `volume`.
HWND TryOut(Process &program, const wchar_t *sound, WPARAM volume) {
    HWND panel = ::FindWindowExW(WaitForProgramWindow(program), nullptr, L"#32770", nullptr);
    ::SendDlgItemMessageW(panel, IDC_SOUND, CB_SELECTSTRING, WPARAM(-1), LPARAM(sound));
    ::SendDlgItemMessageW(panel, IDC_VOLUME, CB_SETCURSEL, volume, 0);
    ::PostMessageW(::GetDlgItem(panel, IDC_TEST), BM_CLICK, 0, 0);
    return panel;
}

// One run through a stalled output: the series keeps its ticks, wake-ups (copies started with
// "AppRunAtTime") and keys and puts the level back, a second start and the panel are answered,
// "Exit" ends it. Then a copy killed in the middle of a long forced play: a second start does not
// wait for it, and the next start puts the level back and drops the record.
TEST_F(SoundRun, AnOutputThatNeverGivesThePlayBackHoldsNothingUp) {
    for (auto [name, value] : {std::pair{L"RepeatTimes", 2u},
                               {L"AutoSnooze", 1u},
                               {L"VolumeControl", 3u},
                               {L"RepeatDelay", Delay}})
        WriteSetting(name, value);
    WriteValue(VolumeKey, L"Volume", &Half);
    StallOutput();
    Process program = StartProgram(L"/AUTORUN");
    HWND main = WaitForProgramWindow(program);
    std::set<DWORD> wakeUps;
    std::jthread watch([&, self = ::GetProcessId(program.handle)](std::stop_token stop) {
        for (PROCESSENTRY32W e{}; !stop.stop_requested(); ::Sleep(10)) {
            HANDLE all = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
            e.dwSize = sizeof e;
            for (BOOL more = ::Process32FirstW(all, &e); more; more = ::Process32NextW(all, &e))
                if (!_wcsicmp(e.szExeFile, L"nudgebellplus.exe") && e.th32ProcessID != self)
                    wakeUps.insert(e.th32ProcessID);
            ::CloseHandle(all);
        }
    });
    const fs::path report = fs::temp_directory_path() / "stalled-reminder";
    fs::remove(report);
    ::CloseHandle(Start(DevicePath(NUDGEBELL_TOOLS) + L"\\reminder.exe",
                        L"/title:1 /report:\"" + report.wstring() + L"\"")
                      .handle);
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(report); }));
    EXPECT_TRUE(WaitUntil([&] { return !::FindWindowW(L"Dialog", nullptr); }, 5000 + 5 * Delay));
    std::ifstream in(report);
    EXPECT_EQ(
        std::string(std::istreambuf_iterator<char>(in), {}).substr(0, 80),
        "opened Reminder\nkey 40\nkey 40\nkey 40\nkey 38\nkey 13\nsnoozed 5 minutes\nclosed\n");
    watch = {};
    EXPECT_GE(wakeUps.size(), 2u) << "a wake-up after the stalled play";
    EXPECT_EQ(ReadValue(VolumeKey, L"Volume"), Half) << "level put back";
    Process again = StartProgram(L"");
    EXPECT_EQ(Wait(again, Bound), 0u) << "the second start waits";
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == main; }, Bound));
    ::PostMessageW(::GetDlgItem(TryOut(program, L"Alarm1", 3), IDC_EXIT), BM_CLICK, 0, 0);
    EXPECT_EQ(Wait(program, 2 * Bound), 0u) << "\">\" and \"Exit\" not answered";

    const uint32_t bytes = 4 * 2 * ToneSampleRate; // 4 s of silence
    std::ofstream(media / L"Long.wav", std::ios::binary)
            .write((char *)ToneWaveHeader(bytes).data(), WaveHeaderBytes)
        << std::string(bytes, '\0');
    program = StartProgram(L"");
    TryOut(program, L"Long", 3);
    ASSERT_TRUE(WaitUntil([] { return ReadValue(VolumeKey, L"Volume") == Full; }, Bound));
    again = StartProgram(L"");
    EXPECT_EQ(Wait(again, 1500), 0u) << "the second start waits for the play";
    EXPECT_EQ(ReadValue(SettingsKey, Record), Half) << "no record of the level to put back";
    ::TerminateProcess(program.handle, 9); // as kill -9: nothing of the program runs
    Wait(program, Bound);
    program = StartProgram(L"/AUTORUN");
    ASSERT_NE(WaitForProgramWindow(program), nullptr);
    EXPECT_EQ(ReadValue(VolumeKey, L"Volume"), Half) << "left forced";
    EXPECT_EQ(ReadValue(SettingsKey, Record), std::nullopt);
}

// Neither the chosen sound (a file with no sound in it) nor the system's default can be played:
// the device's set-up registers one (tools/sounds/makesounds), which is taken away, then set to
// none as Windows' "No Sounds" scheme does. The program's own tone is heard each time.
TEST_F(SoundRun, ADeviceWithoutADefaultSoundHearsTheProgramsOwnTone) {
    const wchar_t *scheme = L"AppEvents\\Schemes\\Apps\\.Default\\.Default\\.Current";
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Sounds", L"Default");
    std::ofstream(media / L"Broken.wav") << "no wave";
    StartAudioCapture();
    Process program = StartProgram(L"");
    for (size_t heard : {1, 2}) {
        if (heard == 1)
            ::RegDeleteKeyValueW(HKEY_CURRENT_USER, scheme, nullptr);
        else
            ::RegSetKeyValueW(HKEY_CURRENT_USER, scheme, nullptr, REG_SZ, L"", sizeof L"");
        TryOut(program, L"Broken", 0);
        EXPECT_TRUE(WaitUntil([&] { return CapturedSounds().size() == heard; }, Bound));
    }
    Process make = Start(DevicePath(NUDGEBELL_TOOLS) + L"\\makesounds.exe", L"");
    EXPECT_EQ(Wait(make, 10000), 0u) << "the default sound not registered again";
    for (const CapturedSound &sound : CapturedSounds())
        EXPECT_EQ(sound.alarm, L"Built-in");
}

} // namespace
