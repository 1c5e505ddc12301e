// Each failure the program meets on its way from the panel's "Run" through a whole series to
// its next start: what it reports, that the series goes on, and what the next start finds.
#include "platform/dialog.h"
#include "res/resource.h"
#include "settings/settings_panel.h"
#include "tests/unit/device_test.h"

#include <commctrl.h>

using fake::device;

namespace {

const std::wstring Key = L"hkcu\\software\\quarnel\\nudgebellplus";
constexpr DWORD LevelBefore = 0x80008000;

struct NextStart {
    DWORD repeatTimes, language, autoRun;
    std::wstring sound;
};

struct Fault {
    const char *what;
    void (*arrange)();
    bool whileWatching; // arranged after "Run" rather than before the start
    std::vector<std::wstring> boxes;
    std::wstring played; // the name each of the two replays plays
    NextStart next;
};

void Nothing() {}
void KeyCannotBeCreated() {
    device().failingKeys.push_back(Key);
}
void LanguageWriteFails() {
    device().failingValues.push_back(L"Language");
}
void RepeatTimesWriteFails() {
    device().failingValues.push_back(L"RepeatTimes");
}
// The user leaves each message open for a whole interval: the ticks go on beneath it.
void WakeUpFails() {
    device().wakeupResult = FALSE;
    device().whileMessageBoxOpen = [] { fake::RunFor(10000); };
}
void ShortcutFails() {
    device().shortcutResult = 0;
}
void NoWaveFiles() {
    device().files.clear();
}

class FailurePaths : public DeviceTest {
  protected:
    static LRESULT Control(int id, UINT message, WPARAM wParam, const wchar_t *text = nullptr) {
        return plat::SendDlgItemMessageW(SettingsPanel, id, message, wParam,
                                         reinterpret_cast<LPARAM>(text));
    }
};

TEST_F(FailurePaths, SeriesGoesOnAndTheNextStartFindsWhatWasSaved) {
    const std::wstring woke = L"CeRunAppAtTime() failed", link = L"SHCreateShortcut() failed";
    const Fault faults[] = {
        {"nothing fails", Nothing, false, {}, L"Alarm2", {2, 1, 1, L"Alarm2"}},
        // Settings in memory stay in use; the language is learnt again at the next start.
        {"settings key", KeyCannotBeCreated, false, {}, L"Alarm2", {3, 0, 0, L"Alarm1"}},
        {"language write", LanguageWriteFails, false, {}, L"Alarm2", {2, 0, 1, L"Alarm2"}},
        {"one value's write", RepeatTimesWriteFails, false, {}, L"Alarm2", {3, 1, 1, L"Alarm2"}},
        {"wake-up", WakeUpFails, false, {woke, woke, woke}, L"Alarm2", {2, 1, 1, L"Alarm2"}},
        {"shortcut", ShortcutFails, false, {link}, L"Alarm2", {2, 1, 1, L"Alarm2"}},
        {"no wave files", NoWaveFiles, false, {}, L"", {2, 1, 1, L""}},
        // The name goes to the platform as it stands; playing something else is its part.
        {"the sound's file gone", NoWaveFiles, true, {}, L"Alarm2", {2, 1, 1, L"Alarm2"}},
    };
    for (const Fault &f : faults) {
        SetUp();
        SCOPED_TRACE(f.what);
        device().files = {L"\\Windows\\Alarm1.wav", L"\\Windows\\Chimes.wav",
                          L"\\Windows\\Alarm2.wav"};
        if (!f.whileWatching)
            f.arrange();
        device().commandLine = L"";
        ASSERT_TRUE(StartInstance(Instance(), SW_SHOWNORMAL));
        Control(IDC_TIMES, WM_SETTEXT, 0, L"2");
        Control(IDC_DELAY, WM_SETTEXT, 0, L"10");
        Control(IDC_SOUND, CB_SETCURSEL, 1);
        Control(IDC_VOLUME, CB_SETCURSEL, Maximum);
        Control(IDC_AUTOSNOOZE, BM_SETCHECK, BST_CHECKED);
        Control(IDC_AUTORUN, BM_SETCHECK, BST_CHECKED);
        SettingsPanelProc(SettingsPanel, WM_COMMAND, IDC_RUN, 0);
        if (f.whileWatching)
            f.arrange();
        EXPECT_FALSE(fake::Find(MainWindow)->visible) << "hidden and watching";

        fake::OpenWindow(L"Dialog", L"Reminder");
        fake::RunFor(60000);
        std::vector<std::wstring> boxes;
        for (const fake::MessageBoxShown &box : device().messageBoxes)
            boxes.push_back(box.text);
        EXPECT_EQ(boxes, f.boxes);
        ASSERT_EQ(device().sounds.size(), 2u);
        EXPECT_EQ(device().sounds[0].name, f.played);
        EXPECT_EQ(device().sounds[1].name, f.played);
        EXPECT_EQ(device().volume, LevelBefore) << "put back after each replay";
        EXPECT_EQ(device().keys.size(), 5u) << "one snooze";
        EXPECT_EQ(WatchState.cycleDone, 1u);
        EXPECT_EQ(fake::FindTimer(MainWindow, WatchTimer)->period, PollInterval);

        auto registry = device().registry;
        DeviceTest::SetUp();
        device().registry = registry;
        device().commandLine = L"/AUTORUN";
        ASSERT_TRUE(StartInstance(Instance(), SW_SHOWNORMAL));
        EXPECT_EQ(Settings.RepeatTimes, f.next.repeatTimes);
        EXPECT_EQ(Settings.Language, f.next.language);
        EXPECT_EQ(Settings.AutoRun, f.next.autoRun);
        EXPECT_EQ(std::wstring(Settings.Sound.data()), f.next.sound);
    }
}

} // namespace
