// The program's decisions, the program on the simulated device, and hostile stored values.
#include "alert/alert.h"
#include "app/app.h"
#include "settings/settings.h"
#include "settings/settings_panel.h"
#include "settings/shortcut.h"
#include "tests/unit/seam.h"
#include "watch/wake_up.h"
#include "watch/watch_cycle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

using seam::device;
using seam::Texts;

namespace {

// Local times as the digits of year, month, day, hour, minute and second; 0 for none. The day
// of the week, 3, must stay as read. 20040602081600 is the cap: 65476 s on.
SYSTEMTIME Time(ULONGLONG digits) {
    SYSTEMTIME time{};
    for (WORD *field : {&time.wSecond, &time.wMinute, &time.wHour, &time.wDay, &time.wMonth})
        *field = digits % 100, digits /= 100;
    time.wYear = WORD(digits), time.wDayOfWeek = digits ? 3 : 0;
    return time;
}

TEST(Decisions, WakeUpComesBeforeTheNextTickAtTheLatest) {
    const std::tuple<ULONGLONG, DWORD, ULONGLONG> cases[] = {
        {20040601145945, 30000, 20040601150000},    {20040601100050, 300000, 20040601100500},
        {20040430235931, 30000, 20040501000000},    {20041231235950, 30000, 20050101000000},
        {20040228235940, 30000, 20040229000000},    {20050228235940, 30000, 20050301000000},
        {20000228235940, 30000, 20000229000000},    {21000228235940, 30000, 21000301000000},
        {20040601140510, 1001, 20040601140510},     {20040601140510, 1000, 0},
        {20040601140510, 65536000, 20040602081600}, {20040601140510, 0x80000000, 20040602081600},
    };
    for (auto [now, delay, expected] : cases) {
        SYSTEMTIME when{}, want = Time(expected);
        EXPECT_EQ(WakeUpTime(Time(now), delay, &when), expected != 0);
        EXPECT_EQ(std::memcmp(&when, &want, sizeof when), 0) << now << " + " << delay;
    }
}

TEST(Decisions, EachVolumeModeForcesItsLevelAndOthersNone) {
    // VolumeControl, ringCount, and the level forced (0: the volume is left alone).
    const std::tuple<DWORD, DWORD, WORD> cases[] = {
        {0, 0, 0},      {1, 9, 0x4000},       {2, 0, 0xA000},
        {3, 0, 0xFFFF}, {Gradual, 2, 0xFFFF}, {Gradual, ~0u, 0xFFFF},
        {5, 0, 0},      {~0u, 0, 0}};
    for (auto [mode, ringCount, forced] : cases) {
        WORD level = 0;
        EXPECT_EQ(ChooseLevel(mode, ringCount, &level), forced != 0) << mode << "/" << ringCount;
        EXPECT_EQ(level, forced);
    }
}

TEST(Decisions, SoundListSelectsTheStoredSoundWhateverTheOrder) {
    std::wstring names[] = {L"Alarm1", L"Alarm2", L"Alarm3", L"Chimes"};
    for (std::wstring stored : {L"Alarm1", L"Alarm3", L"Chimes", L"alarm2"}) {
        do {
            std::vector<std::wstring> list; // sorted, as the platform keeps it
            int remembered = -1;
            for (const std::wstring &name : names) {
                auto at = list.insert(std::lower_bound(list.begin(), list.end(), name), name);
                remembered = RememberSound(remembered, at - list.begin(), name == stored);
                ASSERT_EQ(RememberSound(remembered, -1, true), remembered) << "not added";
            }
            ASSERT_EQ(remembered < 0 ? L"none" : list[remembered],
                      stored == L"alarm2" ? L"none" : stored);
        } while (std::next_permutation(std::begin(names), std::end(names)));
    }
}

TEST(Decisions, ShortcutPathAndTargetAreWholeOrNothing) {
    PathBuffer path, module{};
    std::array<wchar_t, TargetCapacity> target;
    EXPECT_TRUE(ShortcutPath(std::wstring(244, L'f'), path)); // 259 characters in all
    EXPECT_EQ(path.data(), std::wstring(244, L'f') + L"\\Nudgebell+.lnk");
    EXPECT_FALSE(ShortcutPath(std::wstring(245, L'f'), path));
    EXPECT_STREQ(path.data(), L"");
    std::fill_n(module.begin(), 249, L'p');
    EXPECT_TRUE(ShortcutTarget(module, target));
    EXPECT_EQ(target.data(), L"\"" + std::wstring(249, L'p') + L"\" /AUTORUN");
    module[249] = L'p';
    EXPECT_FALSE(ShortcutTarget(module, target));
    EXPECT_STREQ(target.data(), L"");
    module.fill(L'p'); // a cut path: no terminator
    EXPECT_FALSE(ShortcutTarget(module, target));
}

const std::wstring Box = L"Nudgebell+: ";

// A reminder opens; the next poll finds it and starts a series, run for up to `cap` ticks.
void RunSeries(int cap = 50) {
    seam::Open(L"Reminder");
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
        device.inPlay = fault == TickInPlay ? WatchTick : nullptr;
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

TEST(Program, EachReminderWindowGetsOneSeriesAndItsKeys) {
    // Before each tick ("."), reminders A and B open ("a", "b", each in front) or close ("A",
    // "B"); "f": another program's window comes in front. Then the replays' levels (1 minimum,
    // 2 medium) and the keys that reached A, B and the other window.
    const std::tuple<const char *, const char *, const char *, const char *, const char *> cases[] =
        {{"a..bA.....", "112", "", "DDDUE", ""},
         {"ab....B.....", "1212", "DDDUE", "DDDUE", ""},
         {"a....b....B...", "1212", "DDDUE", "DDDUE", ""},
         {"a...f...", "12", "", "", ""},
         {"a..A..", "1", "", "", ""}};
    for (auto [script, levels, intoA, intoB, intoOther] : cases) {
        seam::Reset();
        Settings.RepeatTimes = 2, Settings.AutoSnooze = 1, Settings.VolumeControl = Gradual;
        StartWatchTimer();
        std::map<char, HWND> window;
        for (const char *step = script; *step; ++step) {
            if (*step == '.')
                seam::Tick();
            else if (*step == 'f')
                window['f'] = seam::Open(L"Work", L"Other");
            else if (std::islower(*step))
                window[*step] = seam::Open(L"Reminder");
            else
                seam::Close(window[char(std::tolower(*step))]);
        }
        std::string heard;
        for (const seam::Play &play : device.plays)
            heard += play.level == 0x40004000 ? '1' : play.level == 0xA000A000 ? '2' : '?';
        SCOPED_TRACE(script);
        EXPECT_EQ(heard, levels);
        EXPECT_EQ(device.keysInto[window['a']], intoA);
        EXPECT_EQ(device.keysInto[window['b']], intoB);
        EXPECT_EQ(device.keysInto[window['f']], intoOther);
        EXPECT_EQ(device.period, PollInterval);
    }
    // "Run" in mid-series: the series goes on at RepeatDelay, its wake-up moved to match.
    seam::Reset();
    RunSeries(1);
    ResumeWatching();
    EXPECT_EQ(device.period, Settings.RepeatDelay);
    EXPECT_EQ(device.wakeUps.size(), 3u);
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
            seam::Open(title, className);
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

TEST(Program, SnoozeKeysPickTheChoiceWhileTheReminderIsInFront) {
    // SnoozeChoice, keys typed before our own window comes in front, and the keys typed.
    const std::tuple<DWORD, size_t, const char *> cases[] = {
        {0, 99, "DDDUE"},     {1, 99, "DDDUDE"},     {2, 99, "DDDUDDE"}, {3, 99, "DDDUDDDE"},
        {4, 99, "DDDUDDDDE"}, {5, 99, "DDDUDDDDDE"}, {6, 99, "DDDUE"},   {~0u, 99, "DDDUE"},
        {1, 0, ""},           {1, 5, "DDDUD"},       {4, 2, "DD"}};
    for (auto [choice, ownAfter, keys] : cases) {
        seam::Reset();
        Settings.SnoozeChoice = choice;
        HWND reminder = seam::Open(L"Reminder");
        device.onSleep = [n = ownAfter, reminder] {
            device.foreground = device.keysTyped.size() >= n ? device.ownWindow : reminder;
        };
        device.onSleep(); // before the first key too
        SendSnoozeKeys(reminder);
        EXPECT_EQ(device.keysTyped, keys) << choice << ", ours after " << ownAfter;
    }
}

TEST(Program, ShortcutFollowsTheTickAndReportsAFailure) {
    const std::wstring path = L"C:\\Startup\\Nudgebell+.lnk";
    const std::wstring made = L"made " + path + L" -> \"" + seam::Module + L"\" /AUTORUN";
    const Texts none, failed{Box + L"SHCreateShortcut() failed"};
    const DWORD denied = ERROR_ACCESS_DENIED, missing = ERROR_FILE_NOT_FOUND;
    // AutoRun, ticked, the error of a failing create or delete, the shortcut's changes, the
    // boxes shown, and AutoRun after: what is on disk.
    const std::tuple<DWORD, bool, DWORD, Texts, Texts, DWORD> cases[] = {
        {0, false, 0, none, none, 0},       {1, true, 0, none, none, 1},
        {5, true, 0, none, none, 1},        {0, true, 0, {made}, none, 1},
        {0, true, denied, none, failed, 0}, {1, false, 0, {L"deleted " + path}, none, 0},
        {1, false, denied, none, none, 1},  {1, false, missing, none, none, 0}};
    for (const auto &[autoRun, ticked, error, shortcuts, boxes, after] : cases) {
        seam::Reset();
        Settings.AutoRun = autoRun, device.shortcutError = error;
        ApplyAutoRun(ticked);
        EXPECT_EQ(Settings.AutoRun, after);
        EXPECT_EQ(device.shortcuts, shortcuts) << autoRun << ticked;
        EXPECT_EQ(device.boxes, boxes);
    }
}

TEST(Program, StartUpKeywordsAndTheModulePathFailure) {
    // The command line, the module path fails, another copy holds the program's mutex (1: it
    // starts and never shows a window, 2: it ends), the start goes on and watches at this period.
    const std::tuple<const wchar_t *, bool, int, bool, UINT> cases[] = {
        {L"", false, 0, true, 0},
        {L"/AUTORUN", false, 0, true, PollInterval},
        {L"x AppRunAtTimex /AUTORUN", false, 0, false, 0},
        {L"/AUTORUN", true, 0, false, 0},
        {L"/AUTORUN", false, 1, false, 0},
        {L"/AUTORUN", false, 2, true, PollInterval}};
    for (auto [commandLine, pathFails, otherCopy, runs, period] : cases) {
        seam::Reset();
        device.commandLine = commandLine, device.modulePathFails = pathFails;
        device.otherCopy = otherCopy;
        EXPECT_EQ(StartInstance(nullptr, SW_SHOWNORMAL), runs) << commandLine;
        EXPECT_EQ(device.windowsMade, runs ? 1 : 0);
        EXPECT_EQ(device.period, period);
        EXPECT_EQ(device.boxes, pathFails ? Texts{Box + L"GetModuleFileName() failed!"} : Texts{});
    }
}

std::vector<BYTE> Bytes(const void *data, size_t size) {
    return {static_cast<const BYTE *>(data), static_cast<const BYTE *>(data) + size};
}

TEST(HostileStoredValues, LoadSeriesPanelAndSaveStaySound) {
    constexpr int Sets = 1000, Cap = 40; // ticks after the one that starts the series
    const DWORD edges[] = {0, 1, 2, 3, 4, 5, 6, 7, 1000, 1001, 4294967, 4294968, 0x80000000, ~0u};
    const DWORD types[] = {REG_DWORD, REG_DWORD, REG_SZ, REG_BINARY, REG_QWORD, REG_NONE};
    std::mt19937 random(2004);
    std::vector<wchar_t> noise(300);
    for (int set = 0; set < Sets; ++set) {
        seam::Reset();
        std::generate(noise.begin(), noise.end(), [&] { return wchar_t(random() % 3 * random()); });
        SettingsRecord expected{.Sound = {L"Alarm1"}}; // what loading must give
        for (auto [name, field] : DwordValues) {       // absent, a number, or any bytes
            DWORD value = random() % 2   ? edges[random() % std::size(edges)]
                          : random() % 3 ? random() % 8
                                         : random();
            size_t size = random() % 2 ? random() % 9 : random() % 601;
            auto data = random() % 2 ? Bytes(&value, 4) : Bytes(noise.data(), size);
            expected.*field = SettingsRecord{}.*field;
            if (random() % 4 && (seam::Store(name, types[random() % 6], data), data.size() == 4))
                std::memcpy(&(expected.*field), data.data(), 4);
        }
        std::wstring text(random() % 2 ? 255 + random() % 10 : random() % 300,
                          L'a' + random() % 26);
        size_t size = (text.size() + random() % 2) * 2; // with or without its terminator
        auto sound = random() % 3 ? Bytes(text.c_str(), size) : Bytes(noise.data(), random() % 601);
        std::wstring cut(reinterpret_cast<const wchar_t *>(sound.data()),
                         std::min<size_t>(sound.size() / 2, 259));
        if (random() % 4 &&
            (seam::Store(L"Sound", types[random() % 6], sound), sound.size() <= 520))
            std::wcscpy(expected.Sound.data(), cut.c_str()); // no longer than 520 bytes loads
        SCOPED_TRACE(testing::Message() << "set " << set);

        LoadSettings();
        for (auto [name, field] : DwordValues)
            ASSERT_EQ(Settings.*field, expected.*field) << "exactly 4 bytes load: " << name;
        ASSERT_TRUE(std::ranges::count(Settings.Sound, L'\0')) << "terminated";
        ASSERT_STREQ(Settings.Sound.data(), expected.Sound.data())
            << "cut at a terminator, a half or 259";

        for (const wchar_t *title : seam::Titles)
            seam::Open(title);
        StartWatchTimer();
        for (int tick = 0; tick <= Cap; ++tick)
            seam::Tick();
        ASSERT_EQ(device.plays.size(),
                  expected.Play ? std::min<DWORD>(expected.RepeatTimes, Cap) : 0);
        for (const seam::Play &play : device.plays)
            ASSERT_EQ(play.sound, expected.Sound.data()) << "the name as loaded";
        ASSERT_LE(device.keysTyped.size(), 10u);
        ASSERT_EQ(device.level, seam::Kept) << "put back";

        const DWORD delay = expected.RepeatDelay, times = expected.RepeatTimes;
        const DWORD readBack =
            SecondsToDelay(NumberFromText(std::to_wstring(DelayToSeconds(delay))));
        ASSERT_TRUE(readBack <= delay && delay - readBack < 1000) << readBack;
        ASSERT_EQ(NumberFromText(std::to_wstring(times)), times);
        ASSERT_EQ(NumberFromText(std::to_wstring(times) + L"0000000000"), times ? ~0u : 0);
        ASSERT_EQ(SecondsToDelay(times), std::min<ULONGLONG>(times * 1000ULL, ~0u)) << "saturates";

        device.registry.clear(); // what a save writes, and nothing else
        SaveSettings();
        ASSERT_EQ(device.registry.size(), 8u) << "all but Language";
        for (const auto &[name, value] : device.registry) {
            const bool isSound = name.ends_with(L"Sound");
            std::wstring_view saved(reinterpret_cast<const wchar_t *>(value.bytes.data()),
                                    value.bytes.size() / 2);
            ASSERT_EQ(value.type, DWORD(isSound ? REG_SZ : REG_DWORD)) << name;
            ASSERT_EQ(value.bytes.size(), isSound ? 2 * (saved.find(L'\0') + 1) : 4)
                << name << ": one terminator, at the end";
            ASSERT_LE(value.bytes.size(), 520u);
        }
        const SettingsRecord saved = Settings;
        Settings = SettingsRecord{};
        LoadSettings();
        for (auto [name, field] : DwordValues)
            ASSERT_EQ(Settings.*field, field == &SettingsRecord::Language ? 0 : saved.*field)
                << name;
        ASSERT_STREQ(Settings.Sound.data(), saved.Sound.data()) << "reloads as saved";
    }
    std::printf("hostile stored values: %d sets\n", Sets);
}

} // namespace
