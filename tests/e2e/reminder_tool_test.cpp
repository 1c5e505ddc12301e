// The device's reminder window stand-in, and the capture of what the device plays.
#include "tests/e2e/audio_capture.h"
#include "tests/e2e/reminder_tool.h"

#include <mmsystem.h>

#include <cmath>
#include <vector>

namespace {

using namespace e2e;

HWND Focus() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    EXPECT_TRUE(::GetGUIThreadInfo(0, &info));
    return info.hwndFocus;
}

// Posted as the program posts them: to the focus window of the foreground thread.
void PostToFocus(const std::vector<int> &keys) {
    for (int key : keys) {
        ::PostMessageW(Focus(), WM_KEYDOWN, key, 1);
        ::Sleep(50);
    }
}

void End(Reminder &reminder) {
    if (Wait(reminder.process, 0) == STILL_ACTIVE && reminder.process.handle)
        ::TerminateProcess(reminder.process.handle, 9);
    Close(reminder.process);
}

TEST(ReminderToolE2E, OpensInFrontWithTheFocusUnderEachTitleOrAnotherClass) {
    struct Case {
        const wchar_t *options;
        int title;
        const wchar_t *className;
    };
    const Case cases[] = {{L"", 1, L"Dialog"},           {L"/title:2", 2, L"Dialog"},
                          {L"/title:3", 3, L"Dialog"},   {L"/title:4", 4, L"Dialog"},
                          {L"/title:5", 5, L"Dialog"},   {L"/title:6", 6, L"Dialog"},
                          {L"/class:Other", 1, L"Other"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "options " << c.options);
        Reminder reminder = OpenReminder(c.options, c.title, c.className);
        ASSERT_NE(reminder.window, nullptr);
        EXPECT_EQ(::FindWindowW(L"Dialog", ReminderTitles[c.title - 1]) != nullptr,
                  std::wstring(c.className) == L"Dialog");
        EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == reminder.window; }, 3000));
        EXPECT_EQ(::GetAncestor(Focus(), GA_ROOT), reminder.window);
        EXPECT_TRUE(WaitForReportLine(
            reminder, std::wstring(L"opened ") + ReminderTitles[c.title - 1], 3000));

        ::PostMessageW(reminder.window, WM_CLOSE, 0, 0);
        EXPECT_EQ(Wait(reminder.process, 5000), 0u);
        EXPECT_EQ(ReportLines(reminder).back(), L"closed");
        End(reminder);
    }
}

TEST(ReminderToolE2E, KeysMoveThroughTheButtonsAndTheDurationList) {
    constexpr int D = VK_DOWN, U = VK_UP, E = VK_RETURN;
    struct Case {
        std::vector<int> keys;
        const wchar_t *outcome;
    };
    const Case cases[] = {
        // The program's sequences: Down, Down, Down, Up, then one Down per entry.
        {{D, D, D, U, E}, L"snoozed 5 minutes"},
        {{D, D, D, U, D, E}, L"snoozed 10 minutes"},
        {{D, D, D, U, D, D, E}, L"snoozed 15 minutes"},
        {{D, D, D, U, D, D, D, E}, L"snoozed 30 minutes"},
        {{D, D, D, U, D, D, D, D, E}, L"snoozed 1 hour"},
        {{D, D, D, U, D, D, D, D, D, E}, L"snoozed 2 hours"},
        // The list's end holds; Up from its top goes back to the buttons.
        {{D, D, D, U, D, D, D, D, D, D, D, E}, L"snoozed 2 hours"},
        {{D, D, D, D, U, U, U, E}, L"dismissed"},
        {{E}, L"snoozed 5 minutes"},
        {{D, E}, L"dismissed"},
        {{U, U, D, E}, L"dismissed"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "expecting " << c.outcome);
        Reminder reminder = OpenReminder(L"/title:2", 2);
        ASSERT_NE(reminder.window, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == reminder.window; }, 3000));
        PostToFocus(c.keys);
        EXPECT_TRUE(WaitForReportLine(reminder, c.outcome, 3000));
        EXPECT_EQ(KeysReported(reminder), c.keys);
        EXPECT_EQ(Wait(reminder.process, 5000), 0u) << "it closes after Enter";
        End(reminder);
    }
}

TEST(ReminderToolE2E, ClosesByItselfAfterTheGivenTime) {
    double opened = UnixMilliseconds();
    Reminder reminder = OpenReminder(L"/title:3 /close-after:1200", 3);
    ASSERT_NE(reminder.window, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(reminder.window); }, 5000));
    EXPECT_GE(UnixMilliseconds() - opened, 1200);
    EXPECT_EQ(Wait(reminder.process, 5000), 0u);
    EXPECT_EQ(ReportLines(reminder), (std::vector<std::wstring>{L"opened Aviso", L"closed"}));
    End(reminder);
}

TEST(ReminderToolE2E, UnknownOptionsOpenNothing) {
    for (const wchar_t *options : {L"/title:0", L"/title:7", L"/loud"}) {
        Process tool = Start(ToolPath(L"reminder.exe"), options);
        EXPECT_EQ(Wait(tool, 5000), 2u) << options;
    }
}

std::vector<float> Tone(const std::vector<double> &beeps, int rate) {
    std::vector<float> samples;
    for (double hertz : beeps) {
        for (int i = 0; i < rate * 120 / 1000; ++i)
            samples.push_back(
                static_cast<float>(0.3 * std::sin(2 * 3.14159265358979 * hertz * i / rate)));
        samples.insert(samples.end(), rate * 60 / 1000, 0.0f);
    }
    return samples;
}

TEST(AudioCaptureE2E, RecordingsAreToldApartByTheirPitches) {
    struct Case {
        std::vector<double> beeps;
        int rate;
        const wchar_t *alarm;
    };
    const Case cases[] = {
        {{1000, 1000, 1000}, 22050, L"Alarm1"},
        {{1500, 1500, 1500}, 44100, L"Alarm2"},
        {{2000, 2000, 2000}, 48000, L"Alarm3"},
        {{1320, 1050, 880}, 22050, L"Chimes"},
        {{880, 1050, 1320}, 22050, L""}, // the chime backwards
        {{1000, 1000}, 22050, L""},      // a beep short
        {{1000, 1000, 1000, 1000}, 22050, L""},
        {{440, 440, 440}, 22050, L""}, // no alarm's pitch
        {{}, 22050, L""},              // silence
    };
    for (const Case &c : cases) {
        std::vector<float> samples = Tone(c.beeps, c.rate);
        samples.insert(samples.begin(), 2000, 0.0f);
        EXPECT_EQ(IdentifyAlarm(samples, c.rate), c.alarm) << c.beeps.size() << " beeps";
    }
}

TEST(AudioCaptureE2E, TheFourSoundsAreHeardInTheOrderPlayed) {
    StartAudioCapture();
    const wchar_t *played[] = {L"Chimes", L"Alarm3", L"Alarm1", L"Alarm2"};
    double start = UnixMilliseconds();
    for (const wchar_t *name : played) {
        std::wstring path = std::wstring(L"C:\\windows\\Media\\") + name + L".wav";
        ASSERT_TRUE(::sndPlaySoundW(path.c_str(), SND_SYNC)) << "cannot play " << path.size();
        ::Sleep(100);
    }
    double end = UnixMilliseconds();
    ASSERT_TRUE(WaitForSounds(4, 5000));
    std::vector<CapturedSound> heard = CapturedSounds();
    ASSERT_EQ(heard.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(heard[i].alarm, played[i]) << "sound " << i;
        EXPECT_NEAR(heard[i].seconds, 0.54, 0.05) << "sound " << i;
        EXPECT_GE(heard[i].onset, start - 50);
        EXPECT_LE(heard[i].onset, end);
    }
}

} // namespace
