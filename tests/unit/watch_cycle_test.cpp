// The watch cycle on the simulated device: detection, the replay series and its timeline,
// snoozing, and the reminder window closing or staying open.
#include "tests/unit/device_test.h"

#include <cstring>

using fake::device;

namespace {

constexpr wchar_t SettingsKey[] = L"HKCU\\Software\\Quarnel\\NudgebellPlus";
constexpr wchar_t Russian[] = L"\x041D\x0430\x043F\x043E\x043C\x0438\x043D\x0430\x043D\x0438\x0435";

// The program started with "/AUTORUN": hidden, the watch timer at 5000 ms from time 0.
class WatchCycleTest : public DeviceTest {
  protected:
    void SetUp() override {
        DeviceTest::SetUp();
        device().commandLine = L"/AUTORUN";
        ASSERT_TRUE(StartInstance(Instance(), SW_SHOWNORMAL));
        device().calls.clear();
    }
    static UINT TimerPeriod() {
        const fake::Timer *timer = fake::FindTimer(MainWindow, WatchTimer);
        return timer ? timer->period : 0;
    }
    static bool LanguageStored(DWORD *value) {
        const fake::RegistryValue *stored = fake::GetValue(SettingsKey, L"Language");
        if (!stored || stored->data.size() != 4)
            return false;
        std::memcpy(value, stored->data.data(), 4);
        return true;
    }
    // Advances the clock to `time`, ticks included.
    static void RunTo(uint64_t time) {
        if (time > device().now)
            fake::RunFor(time - device().now);
    }
};

// Which reminder windows a first tick finds, and what it learns from them.
TEST_F(WatchCycleTest, DetectionSearchesTheLanguagesTitleOrLearnsTheLanguage) {
    struct Window {
        const wchar_t *className;
        const wchar_t *title;
    };
    struct Case {
        DWORD language;
        std::vector<Window> open;
        DWORD languageAfter;
        bool series;
        bool stored;
        size_t searches; // FindWindowW calls of the tick
    };
    const Case cases[] = {
        {0, {{L"Dialog", L"Erinnerung"}}, 2, true, true, 2},
        {0, {{L"Dialog", L"Aviso"}, {L"Dialog", L"Rappel"}}, 3, true, true, 3},
        {0, {{L"Dialog", L"Rappel"}, {L"Dialog", L"Aviso"}}, 3, true, true, 3},
        {0, {{L"Dialog", Russian}}, 5, true, true, 5},
        {0, {{L"Dialog", L"Promemoria"}}, 6, true, true, 6},
        {0, {{L"Other", L"Reminder"}}, 0, false, false, 6},
        {0, {}, 0, false, false, 6},
        {3, {{L"Dialog", L"Reminder"}}, 3, false, false, 1},
        {2, {{L"Dialog", L"Erinnerung"}}, 2, true, false, 1},
        {6, {{L"Dialog", L"Promemoria"}}, 6, true, false, 1},
        // A stored value that names no title is not known yet: learnt anew.
        {7, {{L"Dialog", L"Reminder"}}, 1, true, true, 1},
        {0xFFFFFFFF, {{L"Dialog", L"Rappel"}}, 4, true, true, 4},
        {7, {}, 7, false, false, 6},
    };
    for (const Case &c : cases) {
        SetUp();
        SCOPED_TRACE(testing::Message()
                     << "Language " << c.language << ", windows " << c.open.size() << ", first "
                     << (c.open.empty() ? L"" : c.open[0].title));
        Settings.Language = c.language;
        for (const Window &w : c.open)
            fake::OpenWindow(w.className, w.title);

        RunTo(5000);
        EXPECT_EQ(fake::CallsStartingWith(L"FindWindowW \"Dialog\"").size(), c.searches);
        EXPECT_EQ(Settings.Language, c.languageAfter);
        DWORD stored = 0;
        EXPECT_EQ(LanguageStored(&stored), c.stored);
        if (c.stored) {
            EXPECT_EQ(stored, c.languageAfter);
        }
        // The series starts in the same tick that learns the language.
        EXPECT_EQ(WatchState.ringing, c.series ? 1u : 0u);
        EXPECT_EQ(TimerPeriod(), c.series ? Settings.RepeatDelay : PollInterval);
        EXPECT_TRUE(device().sounds.empty()) << "the first tick plays nothing";

        // Never found later either, and a known language is searched alone.
        device().calls.clear();
        RunTo(60000);
        if (!c.series) {
            EXPECT_EQ(WatchState.ringing, 0u);
            EXPECT_EQ(fake::CallsStartingWith(L"FindWindowW").size(), 11 * c.searches);
        }
    }
}

// One reminder's life against the clock: when it opens and closes, and what the program does.
struct Timeline {
    DWORD repeatTimes, repeatDelay, play, autoSnooze;
    std::vector<uint64_t> toggles; // after it opens at 1000, it closes, reopens, ... at these
    std::vector<std::pair<uint64_t, DWORD>> replays; // time, ringCount while it plays
    std::vector<uint64_t> snoozes;                   // times at which a key sequence begins
    size_t wakeUps;
};

class WatchTimelineTest : public WatchCycleTest {};

TEST_F(WatchTimelineTest, SeriesReplaysEndsSnoozesAndStopsWhenTheReminderCloses) {
    // The 5000 ms poll finds the reminder at t0 = 5000.
    const std::pair<const char *, Timeline> timelines[] = {
        {"defaults", {3, 30000, 1, 0, {}, {{35000, 0}, {65000, 1}, {95000, 2}}, {}, 4}},
        {"auto-snooze", {3, 30000, 1, 1, {}, {{35000, 0}, {65000, 1}, {95000, 2}}, {125000}, 4}},
        {"no replays: the snooze one delay after detection", {0, 30000, 1, 1, {}, {}, {35000}, 1}},
        {"Play off: the same ticks without sound", {3, 30000, 0, 1, {}, {}, {125000}, 4}},
        {"one-second delay: no wake-ups",
         {3, 1000, 1, 1, {}, {{6000, 0}, {7000, 1}, {8000, 2}}, {9000}, 0}},
        {"shortest wake-up delay", {2, 1001, 1, 0, {}, {{6001, 0}, {7002, 1}}, {}, 3}},
        {"closed after the second replay: no third, no keys; the next one gets a full series",
         {3,
          30000,
          1,
          1,
          {66000, 101000},
          {{35000, 0}, {65000, 1}, {135000, 0}, {165000, 1}, {195000, 2}},
          {225000},
          3 + 4}},
        // The polls after the snooze come 200 ms later: its keys pause the thread that long.
        {"left open: one series only, until seen absent once",
         {3,
          30000,
          1,
          1,
          {301000, 306000},
          {{35000, 0}, {65000, 1}, {95000, 2}, {340200, 0}, {370200, 1}, {400200, 2}},
          {125000, 430200},
          4 + 4}},
        {"closed and reopened between two ticks: the same series goes on",
         {2, 30000, 1, 1, {40000, 41000}, {{35000, 0}, {65000, 1}}, {95000}, 3}},
    };
    for (const auto &[name, t] : timelines) {
        SetUp();
        SCOPED_TRACE(name);
        Settings.RepeatTimes = t.repeatTimes;
        Settings.RepeatDelay = t.repeatDelay;
        Settings.Play = t.play;
        Settings.AutoSnooze = t.autoSnooze;
        std::vector<std::pair<uint64_t, DWORD>> replays;
        device().whilePlaying = [&] {
            EXPECT_EQ(WatchState.playing, 1u);
            replays.emplace_back(device().now, WatchState.ringCount);
        };

        RunTo(1000);
        HWND reminder = fake::OpenWindow(L"Dialog", L"Erinnerung");
        for (size_t k = 0; k < t.toggles.size(); ++k) {
            RunTo(t.toggles[k]);
            if (k % 2)
                reminder = fake::OpenWindow(L"Dialog", L"Erinnerung");
            else
                fake::CloseWindow(reminder);
        }
        RunTo(500000);

        EXPECT_EQ(replays, t.replays);
        for (const fake::SoundPlay &sound : device().sounds) {
            EXPECT_EQ(sound.name, L"Alarm1");
            EXPECT_EQ(sound.flags, 0u);
        }
        std::vector<uint64_t> snoozes;
        for (size_t k = 0; k < device().keys.size(); ++k)
            if (k == 0 || device().keys[k].at > device().keys[k - 1].at + 1000)
                snoozes.push_back(device().keys[k].at);
        EXPECT_EQ(snoozes, t.snoozes);
        EXPECT_EQ(device().keys.size(), 5 * t.snoozes.size()) << "Down, Down, Down, Up, Enter";
        EXPECT_EQ(device().wakeups.size(), t.wakeUps);
        EXPECT_EQ(WatchState.ringing, 0u);
        EXPECT_EQ(WatchState.playing, 0u);
        EXPECT_EQ(TimerPeriod(), PollInterval);
    }
}

TEST_F(WatchCycleTest, SeriesEndTickKillsTheTimerSnoozesThenPollsAgain) {
    Settings.RepeatTimes = 1;
    Settings.AutoSnooze = 1;
    fake::OpenWindow(L"Dialog", L"Reminder");
    RunTo(35000);
    device().calls.clear();
    RunTo(65000);

    const std::wstring main = fake::Describe(MainWindow);
    int kill = fake::IndexOfCall(L"KillTimer " + main + L", 1");
    int firstKey = fake::IndexOfCall(L"PostKeybdMessage");
    int poll = fake::IndexOfCall(L"SetTimer " + main + L", 1, 5000");
    ASSERT_GE(kill, 0);
    EXPECT_LT(kill, firstKey);
    EXPECT_LT(firstKey, poll);
    EXPECT_EQ(fake::IndexOfCall(L"CeRunAppAtTime"), -1) << "no wake-up after the last tick";
    EXPECT_EQ(fake::IndexOfCall(L"sndPlaySoundW"), -1);
    EXPECT_EQ(WatchState.ringCount, 2u);
    EXPECT_EQ(WatchState.cycleDone, 1u);
}

TEST_F(WatchCycleTest, TickWhilePlayingChangesNothing) {
    struct Case {
        WatchStateRecord state;
        bool reminderOpen;
    };
    const Case cases[] = {{{0, 0, 0, 1}, true}, {{1, 2, 0, 1}, true}, {{1, 2, 0, 1}, false}};
    for (const Case &c : cases) {
        SetUp();
        if (c.reminderOpen)
            fake::OpenWindow(L"Dialog", L"Reminder");
        WatchState = c.state;
        WatchTick();
        EXPECT_TRUE(device().calls.empty()) << c.state.ringing << c.reminderOpen;
        EXPECT_EQ(std::memcmp(&WatchState, &c.state, sizeof WatchState), 0);
        EXPECT_EQ(Settings.Language, 0u);
    }

    // And a tick that arrives during a real replay.
    SetUp();
    fake::OpenWindow(L"Dialog", L"Reminder");
    RunTo(5000);
    size_t searches = 0;
    device().whilePlaying = [&] {
        size_t before = fake::CallsStartingWith(L"FindWindowW").size();
        WatchTick();
        searches += fake::CallsStartingWith(L"FindWindowW").size() - before;
    };
    RunTo(35000);
    EXPECT_EQ(searches, 0u);
    EXPECT_EQ(WatchState.ringCount, 1u);
}

TEST_F(WatchCycleTest, RunDuringASeriesChangesOnlyThePeriod) {
    Settings.AutoSnooze = 1;
    fake::OpenWindow(L"Dialog", L"Reminder");
    RunTo(45000); // started at 5000, first replay at 35000
    WatchStateRecord before = WatchState;
    StartWatchTimer();
    EXPECT_EQ(std::memcmp(&WatchState, &before, sizeof WatchState), 0);

    RunTo(70000);
    ASSERT_EQ(device().sounds.size(), 3u);
    EXPECT_EQ(device().sounds[1].at, 50000u);
    EXPECT_EQ(device().sounds[2].at, 55000u);
    ASSERT_FALSE(device().keys.empty());
    EXPECT_EQ(device().keys[0].at, 60000u);
    EXPECT_EQ(TimerPeriod(), PollInterval);
}

TEST_F(WatchCycleTest, TimerMessageOfAnyIdentifierRunsOneTick) {
    for (WPARAM id : {WPARAM{1}, WPARAM{0}, WPARAM{2}, WPARAM{0xFFFF}}) {
        device().calls.clear();
        EXPECT_EQ(MainWindowProc(MainWindow, WM_TIMER, id, 0), 0) << id;
        EXPECT_EQ(fake::CallsStartingWith(L"FindWindowW \"Dialog\"").size(), 6u) << id;
    }
}

} // namespace
