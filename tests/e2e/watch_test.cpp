// The program watching on the device: reminders opened by the device's stand-in (tools/reminder),
// each replay heard, the keys typed read from the stand-in's report.
#include "tests/e2e/harness.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

using namespace e2e;

constexpr DWORD Delay = 2000, Poll = 5000, HalfVolume = 0x80008000;

class WatchRun : public ProgramTest {};

// Reminders that come together or back to back: each gets a series of its own, two replays one
// delay apart, then its keys only, none left held. The sound cannot be found: the system's
// default sound is heard, and the level forced for it is put back.
TEST_F(WatchRun, LearnsTheLanguageAndGivesEachReminderItsOwnSeries) {
    for (auto [name, value] : {std::pair{L"RepeatTimes", 2u},
                               {L"AutoSnooze", 1u},
                               {L"SnoozeChoice", 1u},
                               {L"VolumeControl", 4u},
                               {L"RepeatDelay", Delay}})
        WriteSetting(name, value);
    WriteSetting(L"Sound", std::wstring(L"Deleted"));
    WriteValue(VolumeKey, L"Volume", &HalfVolume);
    StartAudioCapture();
    Process program = StartProgram(L"/AUTORUN");
    ASSERT_NE(WaitForProgramWindow(program), nullptr);
    program.Reset();
    // A reminder in a language not known yet; the next one opens during its series, and it
    // closes right after its first replay (at once, so that a busy machine cannot add a second).
    fs::path first = OpenReminder(L"/title:4");
    HWND closed = ::FindWindowW(L"Dialog", L"Rappel");
    ASSERT_TRUE(WaitUntil([] { return ReadValue(SettingsKey, L"Language") == 4u; }, Poll + 3000));
    fs::path second = OpenReminder(L"/title:4");
    ASSERT_TRUE(WaitUntil([] { return !CapturedSounds().empty(); }, Delay + 3000));
    ::SendMessageW(closed, WM_CLOSE, 0, 0);
    ::Sleep(1000); // and a third a second later: two at once
    fs::path third = OpenReminder(L"/title:4");
    ASSERT_TRUE(WaitUntil([] { return !::FindWindowW(L"Dialog", nullptr); },
                          2 * (Poll + 3 * Delay) + Delay + 5000))
        << "not both snoozed in time";
    const double keys = UnixMilliseconds();
    const std::string snoozed = "key 40\nkey 40\nkey 40\nkey 38\nkey 40\nkey 13\n"
                                "snoozed 10 minutes\nclosed\n";
    EXPECT_EQ(Received(first), "closed\n") << "keys after it closed mid-series";
    EXPECT_EQ(Received(second), snoozed);
    EXPECT_EQ(Received(third), snoozed);
    for (int key : {VK_DOWN, VK_UP, VK_RETURN})
        EXPECT_GE(::GetAsyncKeyState(key), 0) << "key " << key << " left held";
    std::vector<CapturedSound> heard = CapturedSounds();
    ASSERT_EQ(heard.size(), 5u) << "one replay for the first, two for each other";
    for (const CapturedSound &sound : heard)
        EXPECT_EQ(sound.alarm, L"Default");
    EXPECT_NEAR(heard[4].onset - heard[3].onset, Delay, Delay / 4.0);
    EXPECT_NEAR(keys - heard[4].onset, Delay + 250, Delay / 2.0) << "keys after the last replay";
    EXPECT_EQ(ReadValue(VolumeKey, L"Volume"), HalfVolume);

    // Another program's window in front during the next series: at its end no keys, no snooze.
    fs::path last = OpenReminder(L"/title:4");
    HWND over = ::CreateWindowExW(WS_EX_TOPMOST, L"Edit", L"", WS_POPUP | WS_VISIBLE, 0, 0, 99, 99,
                                  nullptr, nullptr, nullptr, nullptr);
    ::SetForegroundWindow(over);
    ::SetFocus(over);
    ASSERT_TRUE(WaitUntil([] { return CapturedSounds().size() == 7; }, Poll + 2 * Delay + 3000));
    heard = CapturedSounds();
    // Until half a delay after the series' end, which leaves a late tick time to show.
    const double end = heard[6].onset + Delay + Delay / 2;
    WaitUntil([&] { return UnixMilliseconds() > end; }, 60000);
    MSG key{}; // the keys would wait in this thread's queue, which nothing empties
    EXPECT_FALSE(::PeekMessageW(&key, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE))
        << "keys reached the window in front";
    EXPECT_EQ(Received(last), "") << "keys reached the reminder behind";
    ::DestroyWindow(over);
}

} // namespace
