// The real program on a device whose sound goes wrong: an output that takes a play and never
// gives it back, and a device that registers no default sound.
#include "res/resource.h"
#include "tests/e2e/harness.h"
#include "tools/sounds/alarm_tones.h"

#include <tlhelp32.h>

#include <atomic>
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
        for (HWND window; (window = ::FindWindowW(L"Dialog", nullptr)) != nullptr;)
            ::SendMessageW(window, WM_CLOSE, 0, 0);
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
    std::string capture;
    const fs::path media = fs::path(::_wgetenv(L"WINDIR")) / L"Media";
};

// The wake-up starts of the program: copies other than `self` seen while it runs.
struct WakeUps {
    explicit WakeUps(DWORD self)
        : watch([this, self] {
              for (; !stop; ::Sleep(10)) {
                  HANDLE all = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
                  PROCESSENTRY32W entry{};
                  entry.dwSize = sizeof entry;
                  for (BOOL more = ::Process32FirstW(all, &entry); more;
                       more = ::Process32NextW(all, &entry))
                      if (!_wcsicmp(entry.szExeFile, L"nudgebellplus.exe") &&
                          entry.th32ProcessID != self)
                          seen.insert(entry.th32ProcessID);
                  ::CloseHandle(all);
              }
          }) {}
    ~WakeUps() { Count(); }
    size_t Count() { return stop = true, watch.joinable() && (watch.join(), true), seen.size(); }
    std::atomic<bool> stop = false;
    std::set<DWORD> seen;
    std::thread watch;
};

// One run through a stalled output: the series keeps its ticks, wake-ups and keys and puts the
// level back, a second start and the panel are answered, "Exit" ends it. Then a copy ended in the
// middle of a forced play: the next start puts the level back and drops the record.
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
    ASSERT_NE(main, nullptr);
    WakeUps wakeUps(::GetProcessId(program.handle));
    const fs::path report = fs::temp_directory_path() / "stalled-reminder";
    fs::remove(report);
    ::CloseHandle(Start(DevicePath(NUDGEBELL_TOOLS) + L"\\reminder.exe",
                        L"/title:1 /report:\"" + report.wstring() + L"\"")
                      .handle);
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(report); }));
    EXPECT_TRUE(WaitUntil([&] { return !::FindWindowW(L"Dialog", nullptr); }, 5000 + 5 * Delay))
        << "not snoozed";
    std::ifstream in(report);
    EXPECT_EQ(
        std::string(std::istreambuf_iterator<char>(in), {}).substr(0, 80),
        "opened Reminder\nkey 40\nkey 40\nkey 40\nkey 38\nkey 13\nsnoozed 5 minutes\nclosed\n");
    EXPECT_GE(wakeUps.Count(), 2u) << "a wake-up after the stalled play";
    EXPECT_EQ(ReadValue(VolumeKey, L"Volume"), Half) << "level put back";
    Process again = StartProgram(L"");
    EXPECT_EQ(Wait(again, Bound), 0u) << "the second start waits";
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == main; }, Bound));
    HWND panel = ::FindWindowExW(main, nullptr, L"#32770", nullptr);
    for (int button : {IDC_TEST, IDC_EXIT})
        ::PostMessageW(::GetDlgItem(panel, button), BM_CLICK, 0, 0);
    EXPECT_EQ(Wait(program, 2 * Bound), 0u) << "\">\" and \"Exit\" not answered";

    // A sound of 4 s, so that the copy is killed in the middle of its play.
    const fs::path sound = media / L"Long.wav";
    const uint32_t bytes = 4 * 2 * ToneSampleRate;
    std::ofstream(sound, std::ios::binary).write((char *)ToneWaveHeader(bytes).data(), 44)
        << std::string(bytes, '\0');
    program = StartProgram(L"");
    panel = ::FindWindowExW(WaitForProgramWindow(program), nullptr, L"#32770", nullptr);
    ::SendDlgItemMessageW(panel, IDC_SOUND, CB_SELECTSTRING, WPARAM(-1), LPARAM(L"Long"));
    ::SendDlgItemMessageW(panel, IDC_VOLUME, CB_SETCURSEL, 3, 0); // "Set to maximum"
    ::PostMessageW(::GetDlgItem(panel, IDC_TEST), BM_CLICK, 0, 0);
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
// the program's own tone is heard.
TEST_F(SoundRun, ADeviceWithoutADefaultSoundHearsTheProgramsOwnTone) {
    const wchar_t *defaults[][2] = {
        {L"Control Panel\\Sounds", L"Default"},
        {L"AppEvents\\Schemes\\Apps\\.Default\\.Default\\.Current", nullptr}};
    std::wstring kept[2];
    for (int k = 0; k < 2; ++k) {
        wchar_t text[MAX_PATH] = L"";
        DWORD size = sizeof text;
        ::RegGetValueW(HKEY_CURRENT_USER, defaults[k][0], defaults[k][1], RRF_RT_REG_SZ, nullptr,
                       text, &size);
        kept[k] = text;
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, defaults[k][0], defaults[k][1]);
    }
    std::ofstream(media / L"Broken.wav") << "no wave";
    StartAudioCapture();
    Process program = StartProgram(L"");
    HWND panel = ::FindWindowExW(WaitForProgramWindow(program), nullptr, L"#32770", nullptr);
    ::SendDlgItemMessageW(panel, IDC_SOUND, CB_SELECTSTRING, WPARAM(-1), LPARAM(L"Broken"));
    ::PostMessageW(::GetDlgItem(panel, IDC_TEST), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([] { return !CapturedSounds().empty(); }, Bound)) << "silent";
    for (int k = 0; k < 2; ++k)
        ::RegSetKeyValueW(HKEY_CURRENT_USER, defaults[k][0], defaults[k][1], REG_SZ,
                          kept[k].c_str(), DWORD(kept[k].size() + 1) * sizeof(wchar_t));
    ASSERT_EQ(CapturedSounds().size(), 1u);
    EXPECT_EQ(CapturedSounds()[0].alarm, L"Built-in");
}

} // namespace
