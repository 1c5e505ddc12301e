// A long run on the simulated clock: reminders open, stay and close at random moments against
// the watch cycle, under settings that change between series; the cycle's rules are checked
// after every tick.
#include "tests/unit/device_test.h"

#include <cstdio>
#include <random>

using fake::device;

namespace {

class WatchSoak : public DeviceTest {};

TEST_F(WatchSoak, TenThousandRemindersKeepEveryRuleOfTheCycle) {
    constexpr int Reminders = 10000;
    device().logCalls = false;
    device().commandLine = L"/AUTORUN";
    ASSERT_TRUE(StartInstance(Instance(), SW_SHOWNORMAL));
    Settings.Language = 1;

    std::mt19937 random(20040601);
    auto pick = [&](uint32_t lowest, uint32_t highest) {
        return std::uniform_int_distribution<uint32_t>(lowest, highest)(random);
    };
    const DWORD delays[] = {0, 300, 1000, 1001, 2500, 7000};

    HWND reminder = nullptr;
    auto open = [&] { return reminder && fake::Find(reminder); };
    // What the checks carry from one tick to the next.
    WatchStateRecord before{};
    size_t sounds = 0, keys = 0, wakeUps = 0, seriesReplays = 0;
    bool doneSinceAbsent = false;
    int ticks = 0, starts = 0, ended = 0, cut = 0;

    device().whilePlaying = [&] {
        ASSERT_TRUE(open()) << "no replay without a reminder window";
        ASSERT_EQ(WatchState.playing, 1u);
        ASSERT_EQ(WatchState.ringing, 1u);
        ASSERT_LT(WatchState.ringCount, Settings.RepeatTimes);
    };
    device().afterTimer = [&](uint64_t) {
        ++ticks;
        const WatchStateRecord &now = WatchState;
        ASSERT_EQ(now.playing, 0u);
        ASSERT_FALSE(now.ringing && now.cycleDone);
        const fake::Timer *timer = fake::FindTimer(MainWindow, WatchTimer);
        ASSERT_NE(timer, nullptr);
        ASSERT_EQ(timer->period, now.ringing ? Settings.RepeatDelay : PollInterval);

        const bool started = !before.ringing && now.ringing;
        const bool endedHere = before.ringing && !now.ringing && now.cycleDone;
        if (!open()) {
            ASSERT_FALSE(now.ringing || now.cycleDone);
            cut += before.ringing;
            doneSinceAbsent = false;
        }
        if (started) {
            // Only from Idle, and only once the window was seen absent after the last series.
            ASSERT_FALSE(before.cycleDone);
            ASSERT_FALSE(doneSinceAbsent);
            ASSERT_EQ(now.ringCount, 0u);
            ++starts;
            seriesReplays = 0;
        }
        seriesReplays += device().sounds.size() - sounds;
        if (now.ringing) {
            ASSERT_LE(now.ringCount, Settings.RepeatTimes);
            ASSERT_LE(seriesReplays, Settings.RepeatTimes);
        }
        if (endedHere) {
            ASSERT_EQ(seriesReplays, Settings.Play ? Settings.RepeatTimes : 0);
            ASSERT_EQ(now.ringCount, Settings.RepeatTimes + 1);
            doneSinceAbsent = true;
            ++ended;
        }
        // Keys only at the end of a series with auto-snooze, and always the whole sequence.
        const size_t snooze = endedHere && Settings.AutoSnooze ? Settings.SnoozeChoice + 5 : 0;
        ASSERT_EQ(device().keys.size() - keys, snooze);
        const bool wakeUp = now.ringing && Settings.RepeatDelay > 1000;
        ASSERT_EQ(device().wakeups.size() - wakeUps, wakeUp ? 1u : 0u);

        before = now;
        sounds = device().sounds.size();
        keys = device().keys.size();
        wakeUps = device().wakeups.size();
    };

    for (int n = 0; n < Reminders && !HasFatalFailure(); ++n) {
        if (!WatchState.ringing) {
            Settings.RepeatTimes = pick(0, 4);
            Settings.RepeatDelay = delays[pick(0, std::size(delays) - 1)];
            Settings.Play = pick(0, 3) != 0;
            Settings.AutoSnooze = pick(0, 1);
            Settings.SnoozeChoice = pick(0, 5);
        }
        fake::RunFor(pick(0, 12000));
        const bool idle = !WatchState.ringing && !WatchState.cycleDone;
        const int startsBefore = starts, endedBefore = ended;
        reminder = fake::OpenWindow(L"Dialog", L"Reminder");
        // The longest a whole series may take from the opening: a poll to find the window, then
        // each interval or the sound that outlasts it. Stays run up to twice that.
        const uint64_t series = 5500 + (Settings.RepeatTimes + 1) * (Settings.RepeatDelay + 500);
        const uint64_t stay = pick(0, static_cast<uint32_t>(2 * series));
        fake::RunFor(stay);
        if (idle && stay >= 5500) {
            ASSERT_GT(starts, startsBefore) << "reminder " << n << " was never detected";
        }
        if (idle && stay >= series) {
            ASSERT_GT(ended, endedBefore) << "reminder " << n << " never had its series";
        }
        fake::CloseWindow(reminder);
        device().windows.pop_back(); // keeps the window list, and each search, short
    }
    std::printf("watch soak: %d reminders, %d ticks, %d series started, %d ended, %d cut short\n",
                Reminders, ticks, starts, ended, cut);
    EXPECT_GT(ended, Reminders / 4);
    EXPECT_GT(cut, Reminders / 10);
}

} // namespace
