// The program watching on the device: reminders opened by the device's stand-in
// (tools/reminder), each replay heard on the device's audio output, the keys typed read from
// the stand-in's report.
#include "res/resource.h"
#include "tests/e2e/audio_capture.h"
#include "tests/e2e/harness.h"

#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>

namespace {

using namespace e2e;
using Lines = std::vector<std::string>;

constexpr DWORD Delay = 1500, Poll = 5000, HalfVolume = 0x80008000;
const Lines SnoozedForTenMinutes = {
    "key 40", "key 40", "key 40", "key 38", "key 40", "key 13", "snoozed 10 minutes", "closed"};

struct Reminder {
    Process process;
    std::filesystem::path report;
    // What it reported after opening: the keys it received and what it did.
    Lines Received() const {
        std::ifstream in(report);
        Lines lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines.empty() ? lines : Lines(lines.begin() + 1, lines.end());
    }
};

class WatchRun : public ProgramTest {
  protected:
    void TearDown() override {
        for (Reminder &reminder : reminders) {
            if (reminder.process.handle)
                ::TerminateProcess(reminder.process.handle, 9);
            Close(reminder.process);
        }
        reminders.clear();
        Close(program);
        ProgramTest::TearDown();
    }
    // Starts the program hidden and watching, Alarm2 its sound, the volume mirror as given.
    void Watch(std::initializer_list<std::pair<const wchar_t *, DWORD>> settings,
               const DWORD *mirror) {
        for (auto [name, value] : settings)
            WriteSetting(name, value);
        WriteSetting(L"RepeatDelay", Delay);
        WriteSetting(L"Sound", std::wstring(L"Alarm2"));
        WriteValue(VolumeKey, L"Volume", mirror);
        StartAudioCapture();
        program = StartProgram(L"/AUTORUN");
        ASSERT_NE(main = WaitForProgramWindow(program), nullptr);
    }
    // Opens the stand-in with `options` and waits until it holds the focus.
    Reminder &Open(const std::wstring &options) {
        wchar_t folder[MAX_PATH] = L"";
        ::GetTempPathW(MAX_PATH, folder);
        Reminder &r = reminders.emplace_back();
        r.report = folder + (L"reminder-" + std::to_wstring(reminders.size()) + L".txt");
        std::filesystem::remove(r.report);
        r.process =
            Start(ToolPath(L"reminder.exe"), options + L" /report:\"" + r.report.wstring() + L"\"");
        EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(r.report); }));
        return r;
    }
    // Waits until one delay after `end`, which leaves any late tick time to show.
    static void QuietUntil(double end) {
        WaitUntil([&] { return UnixMilliseconds() > end + Delay; }, 60000);
    }
    static std::vector<CapturedSound> WaitForSounds(size_t count, DWORD milliseconds) {
        WaitUntil([&] { return CapturedSounds().size() >= count; }, milliseconds);
        return CapturedSounds();
    }
    std::deque<Reminder> reminders;
    Process program;
    HWND main = nullptr;
};

TEST_F(WatchRun, LearnsTheLanguageStopsWhenClosedThenReplaysRisingAndSnoozes) {
    Watch({{L"RepeatTimes", 3}, {L"AutoSnooze", 1}, {L"SnoozeChoice", 1}, {L"VolumeControl", 4}},
          &HalfVolume);
    // A reminder in a language not known yet, closed after its first replay by the user.
    Reminder &closed = Open(L"/title:4");
    DWORD language = 0;
    ASSERT_TRUE(WaitUntil([&] { return ReadSetting(L"Language", &language); }, Poll + 3000));
    double found = UnixMilliseconds();
    EXPECT_EQ(language, 4u);
    WriteValue(SettingsKey, L"Language", nullptr); // stored once: never written again
    ASSERT_EQ(WaitForSounds(1, 2 * Delay + 3000).size(), 1u);
    ::PostMessageW(::FindWindowW(L"Dialog", L"Rappel"), WM_CLOSE, 0, 0);
    EXPECT_EQ(Wait(closed.process, 5000), 0u);
    Reminder &bystander = Open(L"/class:Bystander"); // no reminder; any key would reach it
    // Left open, the series would have ended four delays after it began.
    QuietUntil(CapturedSounds()[0].onset + 3 * Delay);
    EXPECT_EQ(CapturedSounds().size(), 1u) << "no more replays";
    EXPECT_EQ(closed.Received(), Lines{"closed"});
    EXPECT_EQ(bystander.Received(), Lines{}) << "no keys";
    ::PostMessageW(::FindWindowW(L"Bystander", nullptr), WM_CLOSE, 0, 0);

    // A reminder left open: three replays, one delay apart and rising, then the snooze keys.
    Reminder &snoozed = Open(L"/title:4");
    ASSERT_EQ(Wait(snoozed.process, Poll + 5 * Delay + 3000), 0u) << "not snoozed";
    double keys = UnixMilliseconds();
    EXPECT_EQ(snoozed.Received(), SnoozedForTenMinutes);
    std::vector<CapturedSound> heard = CapturedSounds();
    ASSERT_EQ(heard.size(), 4u);
    const double levels[] = {0.25, 0.25, 0.625, 1.0},
                 after[] = {found, 0, heard[1].onset, heard[2].onset};
    for (size_t k = 0; k < heard.size(); ++k) {
        EXPECT_EQ(heard[k].alarm, L"Alarm2") << k;
        EXPECT_NEAR(heard[k].level, levels[k], 0.04) << k;
        if (after[k]) {
            EXPECT_NEAR(heard[k].onset - after[k], Delay, Delay / 3.0) << k;
        }
        std::printf("replay %zu: level %.3f, %.0f ms after the previous event\n", k, heard[k].level,
                    heard[k].onset - after[k]);
    }
    EXPECT_NEAR(keys - heard[3].onset, Delay + 250, Delay / 2.0) << "keys after the last replay";
    EXPECT_FALSE(ReadSetting(L"Language", &language)) << "written again: " << language;
    DWORD mirror = 0;
    EXPECT_TRUE(ReadValue(VolumeKey, L"Volume", &mirror));
    EXPECT_EQ(mirror, HalfVolume);
}

// One replay, then the end of the series: with auto-snooze and the user in the program's own
// snooze list, or without auto-snooze; the level the replay was heard at and the mirror after.
TEST_F(WatchRun, SnoozeKeysOnlyForTheReminderAndOnlyWithAutoSnooze) {
    const DWORD noMirror = 0xFFFFFFFF;
    struct Case {
        DWORD autoSnooze, volumeControl;
        const DWORD *mirror;
        double level;
        const DWORD *mirrorAfter;
    } cases[] = {{1, 0, &HalfVolume, 0.5, &HalfVolume}, {0, 1, nullptr, 0.25, &noMirror}};
    for (const Case &c : cases) {
        SetUp();
        Watch({{L"Language", 4},
               {L"RepeatTimes", 1},
               {L"AutoSnooze", c.autoSnooze},
               {L"SnoozeChoice", 1},
               {L"VolumeControl", c.volumeControl}},
              c.mirror);
        Reminder &reminder = Open(L"/title:4");
        HWND list = nullptr;
        double clicked = 0;
        auto focus = [] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            ::GetGUIThreadInfo(0, &info); // of the foreground thread, where keys go
            return info.hwndFocus;
        };
        if (c.autoSnooze) { // the user brings the panel forward and clicks its "for" list
            Process second = StartProgram(L"");
            EXPECT_EQ(Wait(second, 10000), 0u);
            list = ::GetDlgItem(::FindWindowExW(main, nullptr, L"#32770", nullptr), IDC_SNOOZE);
            ::PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            ::PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
            ASSERT_TRUE(WaitUntil([&] { return focus() == list; }));
            clicked = UnixMilliseconds();
        }
        std::vector<CapturedSound> heard = WaitForSounds(1, Poll + 2 * Delay + 3000);
        ASSERT_EQ(heard.size(), 1u);
        double end = heard[0].onset + Delay;
        QuietUntil(end);
        EXPECT_EQ(heard[0].alarm, L"Alarm2");
        EXPECT_NEAR(heard[0].level, c.level, 0.04);
        std::printf("replay: level %.3f\n", heard[0].level);
        EXPECT_EQ(reminder.Received(), Lines{}) << "keys reached the reminder";
        EXPECT_EQ(CapturedSounds().size(), 1u);
        DWORD mirror = 0;
        EXPECT_TRUE(ReadValue(VolumeKey, L"Volume", &mirror));
        EXPECT_EQ(mirror, *c.mirrorAfter);
        if (list) {
            EXPECT_LT(clicked, end) << "clicked after the series ended";
            EXPECT_EQ(focus(), list) << "the focus left the list";
            EXPECT_EQ(::SendMessageW(list, CB_GETCURSEL, 0, 0), 1) << "keys changed the choice";
        }
        TearDown();
    }
}

} // namespace
