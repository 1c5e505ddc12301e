// The settings panel against the simulated device's dialog controls: what it shows, what it
// reads back, its buttons, and the sound list's selection for any search order.
#include "platform/dialog.h"
#include "platform/resources.h"
#include "platform/window.h"
#include "res/resource.h"
#include "settings/settings_panel.h"
#include "tests/unit/device_test.h"

#include <commctrl.h>

#include <algorithm>

using fake::Describe;
using fake::device;
using fake::IndexOfCall;

namespace {

const std::wstring Key = L"HKCU\\Software\\Quarnel\\NudgebellPlus";

std::vector<std::wstring> MediaFiles(const std::vector<std::wstring> &names) {
    std::vector<std::wstring> files;
    for (const std::wstring &name : names)
        files.push_back(L"\\Windows\\" + name);
    return files;
}

DWORD StoredDword(const wchar_t *name) {
    const fake::RegistryValue *value = fake::GetValue(Key, name);
    if (!value || value->data.size() != 4)
        return 0xBAD;
    DWORD data = 0;
    std::copy(value->data.begin(), value->data.end(), reinterpret_cast<BYTE *>(&data));
    return data;
}

class SettingsPanelTest : public DeviceTest {
  protected:
    void SetUp() override {
        DeviceTest::SetUp();
        device().files = MediaFiles({L"Chimes.wav", L"Alarm1.wav", L"Alarm2.wav"});
    }

    // The program's own start: the main window with the panel over it.
    void Start() {
        device().commandLine = L"";
        ASSERT_TRUE(StartInstance(Instance(), SW_SHOWNORMAL));
        ASSERT_NE(SettingsPanel, nullptr);
        device().calls.clear();
    }

    // A panel of its own under a parent placed away from the screen's corner.
    HWND PanelUnder(RECT parentRect) {
        AppInstance = Instance();
        MainWindow = fake::OpenWindow(L"NUDGEBELLPLUS", L"Nudgebell+");
        fake::Find(MainWindow)->rect = parentRect;
        HRSRC found = plat::FindResourceW(AppInstance, MAKEINTRESOURCEW(IDD_SETTINGS), RT_DIALOG);
        auto dialogTemplate = static_cast<LPCDLGTEMPLATEW>(plat::LoadResource(AppInstance, found));
        return plat::CreateDialogIndirectParamW(AppInstance, dialogTemplate, MainWindow,
                                                SettingsPanelProc, 0);
    }

    static fake::Window &Control(int id) {
        fake::Window *w = fake::Find(plat::GetDlgItem(SettingsPanel, id));
        EXPECT_NE(w, nullptr) << id;
        static fake::Window none;
        return w ? *w : none;
    }
    static std::wstring Selected(int id) {
        const fake::Window &w = Control(id);
        return w.selection < 0 ? L"(none)" : w.items.at(w.selection);
    }
    static void Type(int id, const wchar_t *text) {
        plat::SendDlgItemMessageW(SettingsPanel, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }
    static void Choose(int id, int index) {
        plat::SendDlgItemMessageW(SettingsPanel, id, CB_SETCURSEL, index, 0);
    }
    static void Tick(int id, WPARAM state) {
        plat::SendDlgItemMessageW(SettingsPanel, id, BM_SETCHECK, state, 0);
    }
    static INT_PTR Press(int id) { return SettingsPanelProc(SettingsPanel, WM_COMMAND, id, 0); }
};

TEST_F(SettingsPanelTest, SoundListSelectsTheStoredSoundWhateverTheSearchOrder) {
    std::vector<std::wstring> names = {L"Alarm1.wav", L"Alarm2.wav", L"Alarm3.wav", L"Chimes.wav"};
    struct Case {
        const wchar_t *sound;
        const wchar_t *selected;
    };
    const Case cases[] = {
        {L"Alarm1", L"Alarm1"}, {L"Alarm2", L"Alarm2"}, {L"Alarm3", L"Alarm3"},
        {L"Chimes", L"Chimes"}, {L"alarm2", L"Alarm1"}, // letter case counts: no match
        {L"Alarm", L"Alarm1"},  {L"", L"Alarm1"},       {L"Alarm2.wav", L"Alarm1"},
    };
    for (const Case &c : cases) {
        std::sort(names.begin(), names.end());
        do {
            SetUp();
            device().files = MediaFiles(names);
            wcscpy(Settings.Sound.data(), c.sound);
            Start();
            std::wstring order;
            for (const std::wstring &name : names)
                order += name + L" ";
            EXPECT_EQ(Control(IDC_SOUND).items,
                      (std::vector<std::wstring>{L"Alarm1", L"Alarm2", L"Alarm3", L"Chimes"}))
                << order;
            EXPECT_EQ(Selected(IDC_SOUND), c.selected) << c.sound << " searched as " << order;
        } while (std::next_permutation(names.begin(), names.end()));
    }
}

TEST_F(SettingsPanelTest, SoundNamesAreFileNamesCutAtTheirLastDot) {
    device().files = MediaFiles({L"Wake.Up.wav", L"Tada.WAV", L"readme.txt"});
    device().files.push_back(L"\\Windows\\Sounds\\Deep.wav");
    wcscpy(Settings.Sound.data(), L"Wake.Up");
    Start();
    EXPECT_EQ(Control(IDC_SOUND).items, (std::vector<std::wstring>{L"Tada", L"Wake.Up"}));
    EXPECT_EQ(Selected(IDC_SOUND), L"Wake.Up");
    FillSoundList(SettingsPanel);
    EXPECT_GE(IndexOfCall(L"FindFirstFileW \"\\Windows\\*.wav\""), 0);
}

TEST_F(SettingsPanelTest, ControlsShowTheSettings) {
    struct Case {
        DWORD play, times, delay, snooze, choice, volume, autoRun;
        bool playTicked;
        const wchar_t *timesText, *delayText, *choiceText, *volumeText;
        bool snoozeTicked, autoRunTicked;
    };
    const Case cases[] = {
        {1, 3, 30000, 0, 0, 0, 0, true, L"3", L"30", L"5 minutes", L"Don't change", false, false},
        {0, 7, 30500, 1, 5, 3, 1, false, L"7", L"30", L"2 hours", L"Set to maximum", true, true},
        {5, 0, 999, 9, 4, 4, 2, true, L"0", L"0", L"1 hour", L"Gradually increase", true, true},
    };
    for (const Case &c : cases) {
        SetUp();
        Settings.Play = c.play;
        Settings.RepeatTimes = c.times;
        Settings.RepeatDelay = c.delay;
        Settings.AutoSnooze = c.snooze;
        Settings.SnoozeChoice = c.choice;
        Settings.VolumeControl = c.volume;
        Settings.AutoRun = c.autoRun;
        Start();
        SCOPED_TRACE(testing::Message() << "delay " << c.delay << " choice " << c.choice);
        EXPECT_EQ(Control(IDC_PLAY).check, c.playTicked ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(Control(IDC_TIMES).title, c.timesText);
        EXPECT_EQ(Control(IDC_DELAY).title, c.delayText);
        EXPECT_EQ(Control(IDC_AUTOSNOOZE).check, c.snoozeTicked ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(Control(IDC_AUTORUN).check, c.autoRunTicked ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(Selected(IDC_SNOOZE), c.choiceText);
        EXPECT_EQ(Selected(IDC_VOLUME), c.volumeText);
    }
}

TEST_F(SettingsPanelTest, ArrowRangesAreSetRepeatsFirst) {
    device().commandLine = L"";
    ASSERT_TRUE(StartInstance(Instance(), SW_SHOWNORMAL));
    std::wstring panel = Describe(SettingsPanel) + L", ";
    int times = IndexOfCall(L"SendDlgItemMessageW " + panel + L"1008, 1125, 0, 100");
    int delay = IndexOfCall(L"SendDlgItemMessageW " + panel + L"1006, 1125, 0, 327980");
    ASSERT_GE(times, 0);
    EXPECT_GT(delay, times);
}

TEST_F(SettingsPanelTest, TestButtonStandsLevelWithTheClosedSoundList) {
    HWND panel = PanelUnder(RECT{15, 40, 255, 334});
    ASSERT_NE(panel, nullptr);
    HWND button = plat::GetDlgItem(panel, IDC_TEST);
    RECT list{}, buttonRect{}, panelRect{};
    plat::GetWindowRect(plat::GetDlgItem(panel, IDC_SOUND), &list);
    plat::GetWindowRect(button, &buttonRect);
    plat::GetWindowRect(panel, &panelRect);
    const fake::Window &test = *fake::Find(button);
    EXPECT_EQ(buttonRect.top, list.top);
    EXPECT_EQ(buttonRect.bottom - buttonRect.top, list.bottom - list.top);
    EXPECT_EQ(test.rect.left, 121 * 6 / 4) << "the left edge stays";
    EXPECT_EQ(test.rect.right - test.rect.left, 12 * 6 / 4) << "and so does the width";
    EXPECT_EQ(test.rect.top, list.top - panelRect.top) << "in the panel's own coordinates";
    const std::vector<std::wstring> moves =
        fake::CallsStartingWith(L"MoveWindow " + Describe(button));
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].back(), L'0') << "no repaint";
}

TEST_F(SettingsPanelTest, ReadBackTakesTheControlsAsTheyStand) {
    struct Case {
        const wchar_t *times, *delay;
        DWORD expectTimes, expectDelay;
    };
    const Case cases[] = {
        {L"x", L"5x", 0, 0},
        {L"4294967295", L"4294967", 0xFFFFFFFF, 4294967000},
        // More seconds than 32-bit milliseconds hold: the longest interval, never a wrapped one.
        {L"1", L"4294968", 1, 0xFFFFFFFF},
        {L"1", L"4294967295", 1, 0xFFFFFFFF},
        {L"1", L"99999999999999", 1, 0xFFFFFFFF},
    };
    for (const Case &c : cases) {
        SetUp();
        Start();
        Type(IDC_TIMES, c.times);
        Type(IDC_DELAY, c.delay);
        ReadSettingsPanel(SettingsPanel);
        EXPECT_EQ(Settings.RepeatTimes, c.expectTimes) << c.times;
        EXPECT_EQ(Settings.RepeatDelay, c.expectDelay) << c.delay;
    }
}

// The indeterminate check state counts as clear; the language is not the panel's to change.
TEST_F(SettingsPanelTest, ReadBackTakesOnlyTickedAsSetAndLeavesTheLanguage) {
    Settings.Language = 4;
    Start();
    Tick(IDC_PLAY, BST_INDETERMINATE);
    ReadSettingsPanel(SettingsPanel);
    EXPECT_EQ(Settings.Play, 0u);
    EXPECT_EQ(Settings.Language, 4u);
}

TEST_F(SettingsPanelTest, RunSavesBeforeHidingExitSavesBeforeClosing) {
    for (int button : {IDC_RUN, IDC_EXIT}) {
        SetUp();
        Start();
        Type(IDC_TIMES, L"5");
        EXPECT_EQ(SettingsPanelProc(SettingsPanel, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0),
                  TRUE);
        EXPECT_EQ(StoredDword(L"RepeatTimes"), 5u) << button;
        std::wstring main = Describe(MainWindow);
        if (button == IDC_RUN) {
            ASSERT_NE(fake::FindTimer(MainWindow, WatchTimer), nullptr);
            EXPECT_EQ(fake::FindTimer(MainWindow, WatchTimer)->period, 5000u);
            EXPECT_LT(IndexOfCall(L"RegCloseKey"), IndexOfCall(L"ShowWindow " + main + L", 0"));
            EXPECT_FALSE(device().quitPosted);
        } else {
            EXPECT_TRUE(device().quitPosted);
            EXPECT_LT(IndexOfCall(L"RegCloseKey"), IndexOfCall(L"SendMessageW " + main + L", 16"));
        }
    }
}

TEST_F(SettingsPanelTest, TestButtonPlaysTheListedSoundAtTheListedVolumeInMemoryOnly) {
    Settings.Play = 0;
    Start();
    Choose(IDC_SOUND, 2);
    Choose(IDC_VOLUME, Maximum);
    DWORD before = device().volume;
    EXPECT_EQ(Press(IDC_TEST), TRUE);
    ASSERT_EQ(device().sounds.size(), 1u) << "played whatever Play holds";
    EXPECT_EQ(device().sounds[0].name, L"Chimes");
    EXPECT_EQ(device().sounds[0].flags, 0u);
    EXPECT_GE(IndexOfCall(L"waveOutSetVolume 0, 4294967295"), 0);
    EXPECT_EQ(device().volume, before) << "and put back";
    EXPECT_EQ(Settings.VolumeControl, static_cast<DWORD>(Maximum));
    EXPECT_STREQ(Settings.Sound.data(), L"Alarm1") << "the stored sound is not changed";
    EXPECT_FALSE(fake::KeyExists(Key)) << "nothing is saved";

    // Without a volume choice the test stores -1, which plays without touching the volume.
    Choose(IDC_VOLUME, -1);
    device().calls.clear();
    Press(IDC_TEST);
    EXPECT_EQ(Settings.VolumeControl, 0xFFFFFFFFu);
    EXPECT_EQ(IndexOfCall(L"waveOutSetVolume"), -1);
    EXPECT_EQ(device().sounds.size(), 2u);
}

TEST_F(SettingsPanelTest, OtherCommandsChangeNothingOtherMessagesAreNotHandled) {
    Start();
    for (int id : {IDC_PLAY, IDC_SOUND, IDC_TIMES, IDC_DELAY, IDC_AUTOSNOOZE, IDC_SNOOZE,
                   IDC_AUTORUN, IDC_VOLUME, IDOK, IDCANCEL}) {
        Tick(IDC_AUTORUN, BST_CHECKED);
        EXPECT_EQ(SettingsPanelProc(SettingsPanel, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), 0),
                  TRUE)
            << id;
    }
    EXPECT_FALSE(fake::KeyExists(Key));
    EXPECT_TRUE(device().shortcuts.empty()) << "ticking alone creates nothing";
    EXPECT_TRUE(device().sounds.empty());
    EXPECT_TRUE(fake::Find(MainWindow)->visible);
    for (UINT message : {WM_PAINT, WM_TIMER, WM_CLOSE, WM_NOTIFY})
        EXPECT_EQ(SettingsPanelProc(SettingsPanel, message, 0, 0), FALSE) << message;
    EXPECT_EQ(SettingsPanelProc(SettingsPanel, WM_INITDIALOG, 0, 0), TRUE);
}

} // namespace
