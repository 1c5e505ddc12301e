// The program on the simulated device, with the failures that the user sees.
#include "alert/alert.h"
#include "app/app.h"
#include "settings/settings.h"
#include "settings/shortcut.h"
#include "tests/unit/seam.h"
#include "watch/watch_cycle.h"

#include <gtest/gtest.h>

using seam::device;
using seam::Texts;

namespace {

const std::wstring Box = L"Nudgebell+: ", Mirror = L"ControlPanel\\Volume\\Volume";

// A reminder opens; the next poll finds it and starts a series, run for up to `cap` ticks.
void RunSeries(int cap = 50) {
    device.windows.insert({L"Dialog", L"Reminder"});
    StartWatchTimer();
    for (int i = 0; i <= cap && (i == 0 || WatchState.ringing); ++i)
        seam::Tick();
}

TEST(Program, SeriesReplaysThenEndsOnceWithTheKeys) {
    enum Fault { None, TickInPlay, WakeUpFails, LevelUnreadable };
    // Play, RepeatTimes, RepeatDelay, AutoSnooze, and a fault.
    const std::tuple<DWORD, DWORD, DWORD, DWORD, Fault> cases[] = {
        {1, 3, 30000, 1, None},        {0, 3, 30000, 1, None},
        {1, 0, 30000, 1, None},        {1, 2, 5000, 0, None},
        {1, 3, 1000, 1, None},         {1, 3, 30000, 1, TickInPlay},
        {1, 3, 30000, 1, WakeUpFails}, {1, 3, 30000, 0, LevelUnreadable}};
    for (auto [play, times, delay, snooze, fault] : cases) {
        seam::Reset();
        Settings.Play = play, Settings.RepeatTimes = times, Settings.RepeatDelay = delay;
        Settings.AutoSnooze = snooze, Settings.VolumeControl = Gradual;
        if (fault == TickInPlay)
            device.inPlay = [] { WatchTick(); };
        device.wakeUpFails = fault == WakeUpFails;
        device.levelUnreadable = fault == LevelUnreadable;
        device.inBox = [] { seam::Tick(); }; // the failure's box: the next tick runs inside it
        const ULONGLONG t0 = device.now + PollInterval;
        RunSeries();
        SCOPED_TRACE(testing::Message() << play << times << " " << delay << " fault " << fault);
        ASSERT_EQ(device.plays.size(), play ? times : 0);
        const DWORD levels[] = {0x40004000, 0xA000A000, 0xFFFFFFFF};
        for (size_t k = 0; k < device.plays.size(); ++k) {
            EXPECT_EQ(device.plays[k].at, t0 + (k + 1) * delay);
            EXPECT_EQ(device.plays[k].level, fault == LevelUnreadable ? seam::Kept : levels[k]);
        }
        EXPECT_EQ(device.level, seam::Kept);
        EXPECT_EQ(device.registry.count(Mirror), play && times && fault != LevelUnreadable);
        EXPECT_EQ(device.keysTyped, snooze ? "DDDUE" : "");
        EXPECT_EQ(device.firstKeyAt, snooze ? t0 + (times + 1) * delay : 0);
        ASSERT_EQ(device.wakeUps.size(), delay > 1000 && fault != WakeUpFails ? times + 1 : 0);
        for (size_t k = 0; k < device.wakeUps.size(); ++k) // in tick k, before tick k + 1
            EXPECT_EQ((seam::Ms(device.wakeUps[k]) - t0) / delay, k);
        EXPECT_EQ(device.boxes,
                  Texts(fault == WakeUpFails ? times + 1 : 0, Box + L"CeRunAppAtTime() failed"));
        EXPECT_EQ(device.period, PollInterval);
    }
}

TEST(Program, OnlyAReminderSeenAbsentStartsANewSeries) {
    seam::Reset();
    Settings.RepeatTimes = 2, Settings.AutoSnooze = 1, Settings.VolumeControl = Gradual;
    auto reopen = [](bool seenAbsent) {
        device.windows.clear();
        if (seenAbsent)
            seam::Tick();
        device.windows.insert({L"Dialog", L"Reminder"});
        seam::Tick();
    };
    RunSeries(1);
    reopen(false); // never seen absent: the same series
    EXPECT_EQ(device.plays.back().level, 0xA000A000);
    device.windows.clear(); // closed mid-series: it stops, without keys
    seam::Tick();
    EXPECT_EQ(device.keysTyped, "");
    EXPECT_EQ(device.period, PollInterval);
    RunSeries();
    EXPECT_EQ(device.plays[2].level, 0x40004000) << "a new series";
    EXPECT_EQ(device.keysTyped, "DDDUE");
    reopen(false);
    EXPECT_EQ(device.plays.size(), 4u) << "the series of this reminder is done";
    reopen(true);
    EXPECT_EQ(device.period, Settings.RepeatDelay) << "seen absent: a new series";
}

TEST(Program, DetectionLearnsAndStoresTheLanguageOnce) {
    const wchar_t *const *titles = seam::Titles, *dialog = L"Dialog";
    // The stored Language, the window open, Language after the tick, and whether it was found.
    const std::tuple<DWORD, const wchar_t *, const wchar_t *, DWORD, bool> cases[] = {
        {0, dialog, titles[0], 1, true},  {0, dialog, titles[1], 2, true},
        {0, dialog, titles[2], 3, true},  {0, dialog, titles[3], 4, true},
        {0, dialog, titles[4], 5, true},  {0, dialog, titles[5], 6, true},
        {3, dialog, titles[0], 3, false}, {0, L"Static", titles[0], 0, false},
        {7, dialog, titles[0], 1, true},  {~0u, dialog, titles[3], 4, true}};
    const std::wstring stored = seam::SettingsKey + std::wstring(L"Language");
    for (bool writesFail : {false, true}) {
        for (auto [language, className, title, learned, found] : cases) {
            seam::Reset();
            Settings.Language = language, device.writesFail = writesFail;
            device.windows.insert({className, title});
            StartWatchTimer();
            seam::Tick();
            SCOPED_TRACE(testing::PrintToString(title) + " " + std::to_string(language));
            EXPECT_EQ(Settings.Language, learned);
            EXPECT_EQ(WatchState.ringing, DWORD(found));
            const std::vector<BYTE> bytes{BYTE(learned), 0, 0, 0}, none;
            EXPECT_EQ(device.registry[stored].bytes,
                      learned == language || writesFail ? none : bytes);
            device.registry.clear();
            seam::Tick();
            EXPECT_EQ(device.registry.count(stored), 0u) << "stored once";
        }
    }
}

TEST(Program, SnoozeKeysPickTheChoiceUntilTheFocusIsOurs) {
    // SnoozeChoice, keys typed before our own window comes forward, and the keys typed.
    const std::tuple<DWORD, size_t, const char *> cases[] = {
        {0, 99, "DDDUE"},     {1, 99, "DDDUDE"},     {2, 99, "DDDUDDE"}, {3, 99, "DDDUDDDE"},
        {4, 99, "DDDUDDDDE"}, {5, 99, "DDDUDDDDDE"}, {6, 99, "DDDUE"},   {~0u, 99, "DDDUE"},
        {1, 0, ""},           {1, 5, "DDDUD"},       {4, 2, "DD"}};
    for (auto [choice, ownAfter, keys] : cases) {
        seam::Reset();
        Settings.SnoozeChoice = choice, device.ownForeground = ownAfter == 0;
        device.onSleep = [after = ownAfter] {
            device.ownForeground = device.keysTyped.size() >= after;
        };
        SendSnoozeKeys();
        EXPECT_EQ(device.keysTyped, keys) << choice << ", ours after " << ownAfter;
    }
}

TEST(Program, ShortcutFollowsTheTickAndReportsAFailure) {
    const std::wstring path = L"C:\\Startup\\Nudgebell+.lnk";
    const std::wstring made = L"made " + path + L" -> \"" + seam::Module + L"\" /AUTORUN";
    const Texts none, failed{Box + L"SHCreateShortcut() failed"};
    // AutoRun, ticked, the create fails, the shortcut's changes, the boxes shown.
    const std::tuple<DWORD, bool, bool, Texts, Texts> cases[] = {
        {0, false, false, none, none}, {1, true, false, none, none},
        {5, true, false, none, none},  {0, true, false, {made}, none},
        {0, true, true, none, failed}, {1, false, false, {L"deleted " + path}, none}};
    for (const auto &[autoRun, ticked, fails, shortcuts, boxes] : cases) {
        seam::Reset();
        Settings.AutoRun = autoRun, device.shortcutFails = fails;
        ApplyAutoRun(ticked);
        EXPECT_EQ(Settings.AutoRun, DWORD(ticked));
        EXPECT_EQ(device.shortcuts, shortcuts) << autoRun << ticked;
        EXPECT_EQ(device.boxes, boxes);
    }
}

TEST(Program, StartUpKeywordsAndTheModulePathFailure) {
    // The command line, the module path fails, the start goes on and watches at this period.
    const std::tuple<const wchar_t *, bool, bool, UINT> cases[] = {
        {L"", false, true, 0},         {L"/AUTORUN", false, true, PollInterval},
        {L"/autorun", false, true, 0}, {L"x AppRunAtTimex /AUTORUN", false, false, 0},
        {L"/AUTORUN", true, false, 0},
    };
    for (auto [commandLine, pathFails, runs, period] : cases) {
        seam::Reset();
        device.commandLine = commandLine, device.modulePathFails = pathFails;
        EXPECT_EQ(StartInstance(nullptr, SW_SHOWNORMAL), runs) << commandLine;
        EXPECT_EQ(device.windowsMade, runs ? 1 : 0);
        EXPECT_EQ(device.period, period);
        EXPECT_EQ(device.boxes, pathFails ? Texts{Box + L"GetModuleFileName() failed!"} : Texts{});
    }
}

} // namespace
