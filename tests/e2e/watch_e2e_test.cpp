// The watch cycle on the real program: a reminder window opens, the program learns its
// language, replays the alarm (heard on the device's audio output) and snoozes the reminder.
#include "tests/e2e/audio_capture.h"
#include "tests/e2e/reminder_tool.h"

#include <cstdio>

namespace {

using namespace e2e;

constexpr double PollInterval = 5000;
constexpr DWORD RepeatDelay = 1500;

class WatchE2E : public ProgramTest {
  protected:
    void TearDown() override {
        for (Reminder *reminder : {&reminder_, &bystander_}) {
            if (reminder->process.handle && Wait(reminder->process, 0) == STILL_ACTIVE)
                ::TerminateProcess(reminder->process.handle, 9);
            Close(reminder->process);
        }
        ProgramTest::TearDown();
    }
    // A short series: two replays 1.5 s apart, then the snooze keys.
    static void WriteShortSeries(DWORD snoozeChoice, const wchar_t *sound) {
        WriteSetting(L"Play", 1);
        WriteSetting(L"RepeatTimes", 2);
        WriteSetting(L"RepeatDelay", RepeatDelay);
        WriteSetting(L"AutoSnooze", 1);
        WriteSetting(L"SnoozeChoice", snoozeChoice);
        WriteSetting(L"Sound", std::wstring(sound));
    }
    Reminder reminder_;
    Reminder bystander_;
};

TEST_F(WatchE2E, GermanReminderIsLearntReplayedTwiceAndSnoozedForTenMinutes) {
    WriteShortSeries(1, L"Alarm2");
    StartAudioCapture();
    Process program = StartProgram(L"/AUTORUN");
    ASSERT_NE(WaitForProgramWindow(program), nullptr);

    reminder_ = OpenReminder(L"/title:2", 2);
    ASSERT_NE(reminder_.window, nullptr);
    double opened = UnixMilliseconds();
    DWORD language = 0;
    ASSERT_TRUE(
        WaitUntil([&] { return ReadSetting(L"Language", &language) && language == 2; }, 8000))
        << "Language " << language;
    double learnt = UnixMilliseconds();
    EXPECT_LE(learnt - opened, PollInterval + 500) << "found within one poll";

    ASSERT_TRUE(WaitForReportLine(reminder_, L"snoozed 10 minutes", 3 * RepeatDelay + 3000));
    double snoozed = UnixMilliseconds();
    EXPECT_EQ(KeysReported(reminder_),
              (std::vector<int>{VK_DOWN, VK_DOWN, VK_DOWN, VK_UP, VK_DOWN, VK_RETURN}));

    // Nothing more once the series is over: the reminder is gone and the program polls again.
    ::Sleep(2 * RepeatDelay);
    std::vector<CapturedSound> heard = CapturedSounds();
    ASSERT_EQ(heard.size(), 2u);
    for (const CapturedSound &sound : heard)
        EXPECT_EQ(sound.alarm, L"Alarm2");
    double first = heard[0].onset - learnt;
    double spacing = heard[1].onset - heard[0].onset;
    double snooze = snoozed - heard[1].onset;
    EXPECT_NEAR(first, RepeatDelay, 400) << "one delay after detection";
    EXPECT_NEAR(spacing, RepeatDelay, 300);
    // One delay after the last replay, and 250 ms of pauses between the keys.
    EXPECT_NEAR(snooze, RepeatDelay + 250, 500);
    EXPECT_EQ(Wait(program, 0), STILL_ACTIVE);
    std::printf("measured: reminder found %.0f ms after it opened (poll %.0f ms); replays "
                "%.0f ms after detection and %.0f ms apart (delay %lu ms); snoozed %.0f ms "
                "after the last replay\n",
                learnt - opened, PollInterval, first, spacing, RepeatDelay, snooze);
    Close(program);
}

TEST_F(WatchE2E, ReminderClosedAfterTheFirstReplayGetsNoSecondAndNoKeys) {
    WriteShortSeries(0, L"Alarm1");
    WriteSetting(L"Language", 2);
    StartAudioCapture();
    Process program = StartProgram(L"/AUTORUN");
    ASSERT_NE(WaitForProgramWindow(program), nullptr);

    reminder_ = OpenReminder(L"/title:2", 2);
    ASSERT_NE(reminder_.window, nullptr);
    ASSERT_TRUE(WaitForSounds(1, static_cast<unsigned>(PollInterval + 2 * RepeatDelay)));
    double firstReplay = CapturedSounds()[0].onset;
    ::PostMessageW(reminder_.window, WM_CLOSE, 0, 0); // the user dismisses it
    ASSERT_EQ(Wait(reminder_.process, 3000), 0u);
    double closed = UnixMilliseconds();
    ASSERT_LT(closed - firstReplay, RepeatDelay) << "closed too late to test anything";

    // A window that is no reminder takes the focus: any snooze key would reach it.
    bystander_ = OpenReminder(L"/class:Bystander", 1, L"Bystander");
    ASSERT_NE(bystander_.window, nullptr);
    ::Sleep(3 * RepeatDelay);

    std::vector<CapturedSound> heard = CapturedSounds();
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].alarm, L"Alarm1");
    EXPECT_EQ(KeysReported(reminder_), std::vector<int>{});
    EXPECT_EQ(KeysReported(bystander_), std::vector<int>{});
    DWORD language = 0;
    EXPECT_TRUE(ReadSetting(L"Language", &language));
    EXPECT_EQ(language, 2u);
    EXPECT_EQ(Wait(program, 0), STILL_ACTIVE);
    Close(program);
}

} // namespace
