// The program's decisions, the program on the simulated device, and hostile stored values.
#include "alert/alert.h"
#include "app/app.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "settings/settings_panel.h"
#include "settings/shortcut.h"
#include "platform/clock.h"
#include "platform/text.h"
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
        {20040601145945, 30000, 20040601150000},
        {20040601100050, 300000, 20040601100500},
        {20040430235931, 30000, 20040501000000},
        {20040601140510, 1001, 20040601140510},
        {20040601140510, 1000, 0},
        {20040601140510, 65536000, 20040602081600},
        {20040601140510, 0x80000000, 20040602081600},
    };
    for (auto [now, delay, expected] : cases) {
        SYSTEMTIME when{}, want = Time(expected);
        EXPECT_EQ(WakeUpTime(Time(now), delay, &when), expected != 0);
        EXPECT_EQ(std::memcmp(&when, &want, sizeof when), 0) << now << " + " << delay;
    }
    // The carry into the first of every month, a year's end included, in leap years and not.
    for (WORD year : {2000, 2004, 2005, 2100}) {
        for (WORD month = 1; month <= 12; ++month) {
            SYSTEMTIME first{WORD(year + month / 12), WORD(month % 12 + 1), 0, 1, 0, 0, 0, 0};
            SYSTEMTIME before{}, when{};
            device.now = seam::Ms(first) - 10000;
            plat::GetLocalTime(&before);
            ASSERT_TRUE(WakeUpTime(before, 30000, &when));
            first.wDayOfWeek = before.wDayOfWeek; // fields, not times: 29 February 2100 converts
            EXPECT_EQ(std::memcmp(&when, &first, sizeof when), 0) << year << "-" << month;
        }
    }
}

// Text in a buffer of 4 (with a terminator, or "abcd" without): appended whole or not at all.
TEST(Decisions, TextIsWholeOrNothing) {
    // clang-format off
    const std::tuple<const wchar_t *, const wchar_t *, bool, std::wstring> appends[] = {
        {L"ab", L"c", true, L"abc"}, {L"ab", L"cd", false, L"ab"}, {L"", L"", true, L""},
        {L"abcd", L"", false, L"abcd"}, {L"", L"abc", true, L"abc"}};
    // clang-format on
    for (auto [before, text, fits, after] : appends) {
        std::array<wchar_t, 5> buffer{}; // the fifth is no part of it
        std::wcsncpy(buffer.data(), before, 4);
        EXPECT_EQ(plat::Append(std::span(buffer).first(4), text), fits) << before << "+" << text;
        EXPECT_EQ(buffer.data(), after);
    }
    PathBuffer module{};
    std::array<wchar_t, TargetCapacity> target;
    for (size_t length : {249, 250, PathCapacity}) { // the last a cut path: no terminator
        std::fill_n(module.begin(), length, L'p');
        EXPECT_EQ(ShortcutTarget(module, target), length == 249);
        EXPECT_EQ(target.data(),
                  length == 249 ? L"\"" + std::wstring(module.data()) + L"\" /AUTORUN" : L"");
    }
}

// A sound or search named as on the handheld, and its file in the media folder: in "\Windows"
// in any letter case, or alone for a sound, ".wav" added when missing; no folder, none too long.
TEST(Decisions, HandheldSoundNamesNameOneMediaFile) {
    const std::wstring a255(255, L'a'), w = L"\\Windows\\";
    // clang-format off
    const std::tuple<std::wstring, bool, std::wstring> cases[] = {
        {L"Alarm1", true, L"Alarm1.wav"}, {L"Alarm1", false, L""},
        {L"Old.Bell", true, L"Old.Bell.wav"}, {w + L"Alarm1.wav", false, L"Alarm1.wav"},
        {L"\\WINDOWS\\a.WAV", false, L"a.WAV"}, {w + L"Alarm1", false, L"Alarm1.wav"},
        {L"Old.Bell.wav", true, L"Old.Bell.wav"}, {w + L"*.wav", false, L"*.wav"}, {w, true, L""},
        {L"", true, L""}, {w + L".wav", true, L""}, {L".WAV", true, L""},
        {w + L"Sub\\a.wav", true, L""}, {w + L"../a.wav", true, L""}, {L"C:\\a.wav", true, L""},
        {L"C:a", true, L""}, {a255, true, a255 + L".wav"}, {L"a" + a255, true, L""},
        {a255 + L".wav", true, a255 + L".wav"}, {L"a" + a255 + L".wav", true, L""}};
    // clang-format on
    for (const auto &[name, bare, file] : cases) {
        std::array<wchar_t, MAX_PATH> found{L'x'};
        EXPECT_EQ(plat::MediaFileName(name, bare, found), !file.empty()) << name << " " << bare;
        EXPECT_EQ(found.data(), file);
    }
}

const std::wstring Box = L"16 Nudgebell+: ", // the stop sign (MB_ICONHAND) and the name
    Record = seam::SettingsKey + std::wstring(L"VolumeToRestore");

// A reminder opens; the next poll finds it and starts a series, run for up to `cap` ticks.
void RunSeries(int cap = 50) {
    seam::Open(L"Reminder");
    for (int i = 0; i <= cap && (i == 0 || WatchState.ringing); ++i)
        seam::Tick();
}

// The replays' levels: 1 minimum, 2 medium, 3 maximum, "-" the device's own, "!" not mirrored.
std::string Heard() {
    const DWORD levels[] = {seam::Kept, 0x40004000, 0xA000A000, 0xFFFFFFFF};
    std::string heard;
    for (const seam::Play &p : device.plays)
        heard += p.mirror != p.level ? '!' : "-123?"[std::ranges::find(levels, p.level) - levels];
    return heard;
}

TEST(Program, SeriesReplaysThenEndsOnceWithTheKeys) {
    enum Fault { No, NoLevel, LongPlay }; // failing wake-ups: EachReminderWindow...
    struct {                              // the settings, a fault, the levels heard (">" last)
        DWORD play = 1, times = 3, delay = 30000, snooze = 1, volume = Gradual;
        Fault fault = No;
        const char *levels;
    } cases[] = {{.levels = "1233"},
                 {.play = 0, .levels = "3"},
                 {.times = 0, .levels = "2"},
                 {.times = 2, .delay = 5000, .snooze = 0, .volume = 1, .levels = "111"},
                 {.delay = 1000, .volume = 2, .levels = "2222"},
                 {.snooze = 0, .fault = NoLevel, .levels = "----"},
                 {.times = 1, .delay = 2000, .snooze = 0, .volume = 0, .levels = "--"},
                 {.times = 1, .delay = 2000, .snooze = 0, .volume = ~0u, .levels = "--"},
                 {.snooze = 0, .fault = LongPlay, .levels = "1233"}}; // each play 4 s
    for (auto [play, times, delay, snooze, volume, fault, levels] : cases) {
        seam::Reset();
        Settings.Play = play, Settings.RepeatTimes = times, Settings.RepeatDelay = delay;
        Settings.AutoSnooze = snooze, Settings.VolumeControl = volume;
        device.inPlay = fault == LongPlay ? [] { device.now += 4000; } : std::function<void()>();
        device.levelUnreadable = fault == NoLevel;
        const ULONGLONG t0 = device.now + PollInterval;
        RunSeries();
        SCOPED_TRACE(testing::Message() << play << times << " " << delay << " fault " << fault);
        for (size_t k = 0; k < device.plays.size(); ++k)
            EXPECT_EQ(device.plays[k].at, t0 + (k + 1) * delay);
        device.controls[IDC_VOLUME].selected = int(volume); // then ">", as a next replay would
        SettingsPanelProc(nullptr, WM_COMMAND, IDC_TEST, 0);
        EXPECT_EQ(Heard(), levels);
        EXPECT_EQ(device.level, seam::Kept);
        EXPECT_FALSE(device.registry.count(Record)) << "the record stays";
        EXPECT_EQ(device.keysTyped, snooze ? "DDDUE" : "");
        EXPECT_EQ(device.firstKeyAt, snooze ? t0 + (times + 1) * delay : 0);
        ASSERT_EQ(device.wakeUps.size(), delay > 1000 ? times + 1 : 0);
        for (size_t k = 0; k < device.wakeUps.size(); ++k) // in tick k, before tick k + 1
            EXPECT_EQ((seam::Ms(device.wakeUps[k]) - t0) / delay, k);
        EXPECT_EQ(device.period, PollInterval);
    }
}

// "." a tick; "a", "b": reminder A or B opens, in front; "A", "B": it closes; "f": another's window
void Play(const char *script, std::map<char, HWND> &window) {
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
}

TEST(Program, EachReminderWindowGetsOneSeriesAndItsKeys) {
    // Played as above and, where wake-ups fail, `inside` the first failure's box (ticks go on in
    // its modal loop); the replays' levels, the keys that reached A|B|the other, the failures told.
    const std::tuple<const char *, const char *, const char *, const char *, size_t> cases[] = {
        {"a..bA.....", nullptr, "112", "|DDDUE|", 0},
        {"ab....B.....", nullptr, "1212", "DDDUE|DDDUE|", 0},
        {"a....b....B...", nullptr, "1212", "DDDUE|DDDUE|", 0},
        {"a...f...", nullptr, "12", "||", 0},
        {"a..A..", nullptr, "1", "||", 0},
        {"a.....A.b.....", "", "1212", "DDDUE|DDDUE|", 2}, // once a series
        {"a...", "...A.b..", "1212", "DDDUE|DDDUE|", 2}};  // one ends in the box, the next starts
    for (auto [script, inside, levels, keys, told] : cases) {
        seam::Reset();
        Settings.RepeatTimes = 2, Settings.AutoSnooze = 1, Settings.VolumeControl = Gradual;
        std::map<char, HWND> window;
        const char *once = inside;
        device.wakeUpFails = inside, device.inBox = [&] { Play(std::exchange(once, ""), window); };
        Play(script, window);
        SCOPED_TRACE(script);
        EXPECT_EQ(Heard(), levels);
        auto into = [&](char w) { return device.keysInto[window[w]]; };
        EXPECT_EQ(into('a') + '|' + into('b') + '|' + into('f'), keys);
        EXPECT_EQ(device.period, PollInterval);
        EXPECT_EQ(device.boxes, Texts(told, Box + L"CeRunAppAtTime() failed"));
        EXPECT_LE(device.mostBoxesOpen, 1) << "a box inside another";
    }
}

TEST(Program, DetectionLearnsAndStoresTheLanguageOnce) {
    // The stored Language, the reminders open in this order (by language; "s": the first title
    // on a window of another class), Language after the tick, and whether a series started.
    const std::tuple<DWORD, const char *, DWORD, bool> cases[] = {
        {0, "1", 1, true},  {0, "2", 2, true},  {0, "3", 3, true},  {0, "4", 4, true},
        {0, "5", 5, true},  {0, "6", 6, true},  {0, "34", 3, true}, {3, "1", 3, false},
        {6, "4", 6, false}, {0, "s", 0, false}, {7, "1", 1, true},  {~0u, "4", 4, true}};
    const std::wstring stored = seam::SettingsKey + std::wstring(L"Language");
    for (bool writesFail : {false, true}) {
        for (auto [language, open, learned, found] : cases) {
            seam::Reset();
            Settings.Language = language, device.writesFail = writesFail;
            for (const char *w = open; *w; ++w)
                *w == 's' ? seam::Open(seam::Titles[0], L"Static")
                          : seam::Open(seam::Titles[*w - '1']);
            seam::Tick();
            SCOPED_TRACE(std::string(open) + " " + std::to_string(language));
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
        EXPECT_EQ(device.lastKeyAt - device.firstKeyAt, *keys ? 50 * strlen(keys) - 50 : 0);
    }
}

TEST(Program, StartUpKeywordsAndTheModulePathFailure) {
    // The command line, the module path fails, another copy holds the program's mutex (1: it
    // starts and never shows a window, 2: it ends), the start goes on and watches at this period.
    const std::tuple<const wchar_t *, bool, int, bool, UINT> cases[] = {
        {L"", false, 0, true, 0},
        {L"/AUTORUN", true, 0, false, 0},
        {L"/AUTORUN", false, 1, false, 0},
        {L"/AUTORUN", false, 2, true, PollInterval}};
    for (auto [commandLine, pathFails, otherCopy, runs, period] : cases) {
        seam::Reset(), StopWatchTimer(); // not watching before the start
        device.commandLine = commandLine, device.modulePathFails = pathFails;
        device.otherCopy = otherCopy, device.queueErrors = 3; // a running loop ends, failed
        EXPECT_EQ(ProgramEntry(nullptr, SW_SHOWNORMAL), runs ? 1 : 0) << commandLine;
        EXPECT_EQ(device.windowsMade, runs ? 1 : 0);
        EXPECT_EQ(device.period, period);
        EXPECT_EQ(device.boxes, pathFails ? Texts{Box + L"GetModuleFileName() failed!"} : Texts{});
        // The session ends: no tick comes, and a level on record is put back.
        seam::Store(L"VolumeToRestore", REG_DWORD, {0, 0x40, 0, 0x40});
        MainWindowProc(nullptr, WM_ENDSESSION, TRUE, 0);
        EXPECT_EQ(device.period, 0u);
        EXPECT_EQ(device.level, 0x40004000u);
        EXPECT_FALSE(device.registry.count(Record));
    }
}

TEST(Program, SoundListShowsEachFileByItsNameAndSelectsTheStoredOne) {
    std::wstring files[] = {L"Alarm1.wav",    L"Chimes.wav", L"Folder.wav\\", L"Old.Bell.wav",
                            L"Twice.wav.wav", L"Long.wave"}; // the last two play no file of theirs
    // The stored sound and the entry selected: itself when listed, else the first.
    const std::pair<const wchar_t *, int> cases[] = {{L"Alarm1", 0},   {L"Chimes", 1},
                                                     {L"Old.Bell", 2}, {L"alarm1", 0},
                                                     {L"Folder", 0},   {L"Old", 0}};
    for (auto [stored, selected] : cases) {
        do { // in any order the folder lists them
            seam::Reset();
            device.files.assign(std::begin(files), std::end(files));
            std::wcscpy(Settings.Sound.data(), stored);
            FillSoundList(nullptr);
            ASSERT_EQ(device.controls[IDC_SOUND].items, (Texts{L"Alarm1", L"Chimes", L"Old.Bell"}));

            ASSERT_EQ(device.controls[IDC_SOUND].selected, selected)
                << testing::PrintToString(stored);
        } while (std::next_permutation(std::begin(files), std::end(files)));
    }
}

// "Run" in mid-series: the box that tells a shortcut failure comes once the settings are in force.
TEST(Program, PanelReadsBackAndTheShortcutFollowsWhatIsOnDisk) {
    const std::wstring ok = L"C:\\Startup", none, fits(244, L'f'), tooLong(245, L'f');
    const Texts made{L"made " + fits + L"\\Nudgebell+.lnk -> \"" + seam::Module + L"\" /AUTORUN"},
        deleted{L"deleted " + ok + L"\\Nudgebell+.lnk"};
    // Typed into both fields, AutoRun, ticked, the start-up folder (none: not named; 244 long: the
    // longest path), a failing create's or delete's error; read back, 'm'ade or 'd'eleted, told.
    using D = DWORD;
    const std::tuple<const wchar_t *, D, bool, std::wstring, D, D, D, D, char, bool> cases[] = {
        {L"10", 0, false, ok, 0, 10, 10000, 0, '-', false},
        {L"", 1, true, ok, 0, 0, 0, 1, '-', false},
        {L"  12x5", 0, true, fits, 0, 12, 12000, 1, 'm', false},
        {L"x12", 0, true, ok, ERROR_ACCESS_DENIED, 0, 0, 0, '-', true},
        {L"4294967", 0, true, none, 0, 4294967, 4294967000, 0, '-', true},
        {L"4294968", 0, true, tooLong, 0, 4294968, ~0u, 0, '-', true},
        {L"42949672950", 1, false, ok, 0, ~0u, ~0u, 0, 'd', false},
        {L"10", 1, false, ok, ERROR_FILE_NOT_FOUND, 10, 10000, 0, '-', false},
        {L"10", 1, false, ok, ERROR_PATH_NOT_FOUND, 10, 10000, 0, '-', false},
        {L"10", 1, false, ok, ERROR_ACCESS_DENIED, 10, 10000, 1, '-', false},
        {L"10", 1, false, none, 0, 10, 10000, 1, '-', true},
        {L"10", 1, false, tooLong, 0, 10, 10000, 1, '-', true}};
    for (auto [typed, autoRun, ticked, folder, error, times, delay, after, done, told] : cases) {
        seam::Reset();
        Settings.AutoRun = autoRun, device.startupFolder = folder, device.shortcutError = error;
        InitSettingsPanel(nullptr);
        RunSeries(1);
        device.controls[IDC_TIMES].text = device.controls[IDC_DELAY].text = typed;
        device.controls[IDC_AUTORUN].check = ticked;
        bool inForce = false; // as the box opens; the next tick runs in it
        device.inBox = [&] { inForce = device.period == delay, seam::Tick(); };
        SettingsPanelProc(nullptr, WM_COMMAND, IDC_RUN, 0);
        SCOPED_TRACE(testing::Message() << autoRun << ticked << folder.size() << " " << error);
        EXPECT_EQ(Settings.RepeatTimes, times) << testing::PrintToString(typed);
        EXPECT_EQ(Settings.RepeatDelay, delay);
        EXPECT_EQ(Settings.AutoRun, after);
        EXPECT_EQ(Settings.AutoSnooze, 0u) << "its own tick, not the start-up one";
        EXPECT_EQ(device.shortcuts, done == 'm' ? made : done == 'd' ? deleted : Texts{});
        EXPECT_EQ(device.boxes, Texts(told, Box + L"SHCreateShortcut() failed"));
        EXPECT_EQ(inForce, told) << "a tick in the box finds the settings in force";
        EXPECT_EQ(device.period, told && !times ? PollInterval : delay);
        EXPECT_EQ(device.wakeUps.size(), delay > 1000 ? 3u + told : 2u);
    }
}

std::vector<BYTE> Bytes(const void *data, size_t size) {
    return {static_cast<const BYTE *>(data), static_cast<const BYTE *>(data) + size};
}

TEST(HostileStoredValues, LoadAndSaveStaySound) {
    constexpr int Sets = 1000;
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

        device.registry.clear(); // what a save writes, and nothing else
        SaveSettings();
        for (const auto &[name, value] : device.registry) { // the text with one terminator
            const bool isSound = name.ends_with(L"Sound");
            ASSERT_EQ(value.type, DWORD(isSound ? REG_SZ : REG_DWORD)) << name;
            ASSERT_EQ(value.bytes.size(), isSound ? 2 * std::wcslen(Settings.Sound.data()) + 2 : 4);
        }
        const SettingsRecord saved = Settings;
        Settings = SettingsRecord{};
        LoadSettings();
        for (auto [name, field] : DwordValues)
            ASSERT_EQ(Settings.*field, field == &SettingsRecord::Language ? 0 : saved.*field)
                << name;
        ASSERT_STREQ(Settings.Sound.data(), saved.Sound.data()) << "reloads as saved";
    }
}

} // namespace
