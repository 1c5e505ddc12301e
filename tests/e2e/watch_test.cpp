// The program watching on the device: reminders opened by the device's stand-in (tools/reminder),
// each replay heard, the keys typed read from the stand-in's report.
#include "res/resource.h"
#include "tests/e2e/harness.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

namespace {

using namespace e2e;
namespace fs = std::filesystem;

// Whole seconds, so that a "Run" saves the delay unchanged.
constexpr DWORD Delay = 2000, Poll = 5000, HalfVolume = 0x80008000;

// Waits until half a delay after `end`, which leaves a late tick time to show.
void QuietUntil(double end) {
    WaitUntil([&] { return UnixMilliseconds() > end + Delay / 2; }, 60000);
}
class WatchRun : public ProgramTest {
  protected:
    void TearDown() override {
        for (HWND window; (window = ::FindWindowW(L"Dialog", nullptr)) != nullptr;)
            ::SendMessageW(window, WM_CLOSE, 0, 0);
        ProgramTest::TearDown();
    }
    // Starts the program hidden and watching, the volume mirror as given.
    void Watch(DWORD times, DWORD autoSnooze, DWORD volumeControl, const DWORD *mirror,
               const wchar_t *sound = L"Alarm2") {
        WriteSetting(L"RepeatTimes", times);
        WriteSetting(L"AutoSnooze", autoSnooze);
        WriteSetting(L"SnoozeChoice", 1);
        WriteSetting(L"VolumeControl", volumeControl);
        WriteSetting(L"RepeatDelay", Delay);
        WriteSetting(L"Sound", std::wstring(sound));
        WriteValue(VolumeKey, L"Volume", mirror);
        StartAudioCapture();
        Process program = StartProgram(L"/AUTORUN");
        main = WaitForProgramWindow(program);
        Close(program);
        ASSERT_NE(main, nullptr);
    }
    // Opens the stand-in with `options` and waits for its report to begin; the report.
    fs::path Open(const std::wstring &options) {
        fs::path report = fs::temp_directory_path() / ("reminder" + std::to_string(++opened));
        fs::remove(report);
        ::CloseHandle(Start(DevicePath(NUDGEBELL_TOOLS) + L"\\reminder.exe",
                            options + L" /report:\"" + report.wstring() + L"\"")
                          .handle);
        EXPECT_TRUE(WaitUntil([&] { return fs::exists(report); }));
        return report;
    }
    // What a stand-in reported after opening: the keys it received and what it did.
    static std::string Received(const fs::path &report) {
        std::ifstream in(report);
        std::string text{std::istreambuf_iterator<char>(in), {}};
        return text.substr(text.find('\n') + 1);
    }
    int opened = 0;
    HWND main = nullptr;
};

// Reminders that come together or back to back: each gets a series of its own, its keys only.
// The sound cannot be found: the system's default sound is heard.
TEST_F(WatchRun, LearnsTheLanguageAndGivesEachReminderItsOwnSeries) {
    Watch(1, 1, 0, &HalfVolume, L"Deleted");
    // A reminder in a language not known yet; after its replay the next one opens, and it closes.
    fs::path first = Open(L"/title:4");
    HWND closed = ::FindWindowW(L"Dialog", L"Rappel");
    ASSERT_TRUE(WaitUntil([] { return ReadValue(SettingsKey, L"Language") == 4u; }, Poll + 3000));
    ASSERT_TRUE(WaitUntil([] { return !CapturedSounds().empty(); }, Delay + 3000));
    fs::path second = Open(L"/title:4");
    ::Sleep(1000); // and a third a second later: two at once
    fs::path third = Open(L"/title:4");
    ::SendMessageW(closed, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([] { return !::FindWindowW(L"Dialog", nullptr); },
                          2 * (Poll + 2 * Delay) + Delay + 5000))
        << "not both snoozed in time";
    const std::string snoozed = "key 40\nkey 40\nkey 40\nkey 38\nkey 40\nkey 13\n"
                                "snoozed 10 minutes\nclosed\n";
    EXPECT_EQ(Received(first), "closed\n") << "keys after it closed mid-series";
    EXPECT_EQ(Received(second), snoozed);
    EXPECT_EQ(Received(third), snoozed);
    std::vector<CapturedSound> heard = CapturedSounds();
    EXPECT_EQ(heard.size(), 3u) << "one replay for each";
    for (const CapturedSound &sound : heard)
        EXPECT_EQ(sound.alarm, L"Default");

    // Another program's window in front when a series ends: no keys, the reminder stays open.
    fs::path last = Open(L"/title:4");
    HWND over = ::CreateWindowExW(WS_EX_TOPMOST, L"Edit", L"", WS_POPUP | WS_VISIBLE, 0, 0, 99, 99,
                                  nullptr, nullptr, nullptr, nullptr);
    ::SetForegroundWindow(over);
    ASSERT_TRUE(WaitUntil([] { return CapturedSounds().size() == 4; }, Poll + Delay + 3000));
    QuietUntil(CapturedSounds()[3].onset + Delay);
    EXPECT_EQ(::GetForegroundWindow(), over);
    EXPECT_EQ(::GetWindowTextLengthW(over), 0) << "keys reached the window in front";
    EXPECT_EQ(Received(last), "") << "keys reached the reminder behind";
    ::DestroyWindow(over);
}

// A reminder left open: three replays one delay apart, the last at the maximum, then the snooze
// keys, none left held.
TEST_F(WatchRun, ReplaysRisingAndSnoozes) {
    WriteSetting(L"Language", 4);
    Watch(3, 1, 4, &HalfVolume);
    fs::path snoozed = Open(L"/title:4");
    ASSERT_TRUE(
        WaitUntil([] { return !::FindWindowW(L"Dialog", nullptr); }, Poll + 5 * Delay + 3000))
        << "not snoozed in time";
    double keys = UnixMilliseconds();
    EXPECT_EQ(Received(snoozed), "key 40\nkey 40\nkey 40\nkey 38\nkey 40\nkey 13\n"
                                 "snoozed 10 minutes\nclosed\n");
    for (int key : {VK_DOWN, VK_UP, VK_RETURN})
        EXPECT_GE(::GetAsyncKeyState(key), 0) << "key " << key << " left held";
    std::vector<CapturedSound> heard = CapturedSounds();
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_EQ(heard[2].alarm, L"Alarm2");
    EXPECT_NEAR(heard[2].level, 1, 0.04) << "the third at the maximum";
    EXPECT_NEAR(heard[2].onset - heard[1].onset, Delay, Delay / 4.0);
    EXPECT_NEAR(keys - heard[2].onset, Delay + 250, Delay / 2.0) << "keys after the last replay";
    EXPECT_EQ(ReadValue(VolumeKey, L"Volume"), HalfVolume);
}

} // namespace
