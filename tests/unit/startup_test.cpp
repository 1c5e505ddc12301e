// Start-up: the wake-up keyword, the running copy, the own path, the hidden start.
#include "tests/unit/device_test.h"

using fake::Describe;
using fake::device;
using fake::IndexOfCall;

namespace {

MSG Message(HWND window, UINT message) {
    MSG m{};
    m.hwnd = window;
    m.message = message;
    return m;
}

class Startup : public DeviceTest {
  protected:
    bool Start(const wchar_t *commandLine, int show = SW_SHOWNORMAL) {
        device().commandLine = commandLine;
        return StartInstance(Instance(), show);
    }
};

TEST_F(Startup, WakeUpKeywordEndsTheStartBeforeAnythingElse) {
    for (const wchar_t *commandLine :
         {L"AppRunAtTime", L"xAppRunAtTimex", L"AppRunAtTime /AUTORUN", L"/AUTORUN AppRunAtTime"}) {
        SetUp();
        HWND copy = fake::OpenWindow(L"NUDGEBELLPLUS", L"Nudgebell+");
        fake::Find(copy)->visible = false;

        EXPECT_FALSE(Start(commandLine));
        EXPECT_EQ(device().calls, std::vector<std::wstring>{L"GetCommandLineW"}) << commandLine;
        EXPECT_EQ(AppInstance, nullptr);
        EXPECT_FALSE(fake::Find(copy)->visible) << "a hidden copy must stay hidden";
    }
}

TEST_F(Startup, RunningCopyIsShownInFrontAndNothingIsRead) {
    HWND copy = fake::OpenWindow(L"NUDGEBELLPLUS", L"Nudgebell+");
    fake::Find(copy)->visible = false;

    EXPECT_FALSE(Start(L"/AUTORUN"));

    EXPECT_TRUE(fake::Find(copy)->visible);
    EXPECT_GE(IndexOfCall(L"ShowWindow " + Describe(copy) + L", 1"), 0);
    HWND lowBit = reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(copy) | 1);
    EXPECT_GE(IndexOfCall(L"SetForegroundWindow " + Describe(lowBit)), 0);
    EXPECT_EQ(IndexOfCall(L"GetModuleFileNameW"), -1);
    EXPECT_EQ(IndexOfCall(L"RegOpenKeyExW"), -1);
    EXPECT_EQ(IndexOfCall(L"CreateWindowExW"), -1);
    EXPECT_TRUE(device().timers.empty());
}

TEST_F(Startup, SameTitleOfAnotherClassIsNoRunningCopy) {
    fake::OpenWindow(L"Notepad", L"Nudgebell+");

    EXPECT_TRUE(Start(L""));
    EXPECT_NE(MainWindow, nullptr);
    EXPECT_EQ(fake::Find(MainWindow)->className, L"NUDGEBELLPLUS");
}

TEST_F(Startup, PathFailureIsReportedAndNoSettingsAreRead) {
    device().modulePathFails = true;
    fake::SetDword(L"HKCU\\Software\\Quarnel\\NudgebellPlus", L"RepeatTimes", 7);

    EXPECT_FALSE(Start(L""));

    ASSERT_EQ(device().messageBoxes.size(), 1u);
    const fake::MessageBoxShown &box = device().messageBoxes[0];
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.text, L"GetModuleFileName() failed!");
    EXPECT_EQ(box.caption, L"Nudgebell+");
    EXPECT_EQ(box.style, static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(IndexOfCall(L"RegOpenKeyExW"), -1);
    EXPECT_EQ(Settings.RepeatTimes, 3u);
    EXPECT_EQ(IndexOfCall(L"CreateWindowExW"), -1);
}

TEST_F(Startup, OrdinaryStartReadsPathThenSettingsThenCreatesTheWindow) {
    fake::SetDword(L"HKCU\\Software\\Quarnel\\NudgebellPlus", L"RepeatTimes", 7);

    EXPECT_TRUE(Start(L"", SW_SHOWNORMAL));

    EXPECT_EQ(std::wstring(ModulePath.data()), device().modulePath);
    EXPECT_EQ(Settings.RepeatTimes, 7u);
    int path = IndexOfCall(L"GetModuleFileNameW");
    int settings = IndexOfCall(L"RegOpenKeyExW");
    int window = IndexOfCall(L"CreateWindowExW 0, \"NUDGEBELLPLUS\", \"Nudgebell+\", " +
                             std::to_wstring(WS_VISIBLE));
    EXPECT_LT(path, settings);
    EXPECT_LT(settings, window);
    EXPECT_TRUE(fake::Find(MainWindow)->visible);
    EXPECT_TRUE(device().timers.empty()) << "an ordinary start does not watch";
}

TEST_F(Startup, AutorunKeywordIsCaseSensitive) {
    struct Case {
        const wchar_t *commandLine;
        bool hidden;
    };
    for (const Case &c : {Case{L"/AUTORUN", true}, Case{L"x/AUTORUNx", true},
                          Case{L"/autorun", false}, Case{L"/Autorun", false}}) {
        SetUp();
        EXPECT_TRUE(Start(c.commandLine, SW_SHOWNORMAL));
        EXPECT_EQ(!fake::Find(MainWindow)->visible, c.hidden) << c.commandLine;
        const fake::Timer *timer = fake::FindTimer(MainWindow, 1);
        EXPECT_EQ(timer != nullptr, c.hidden) << c.commandLine;
        if (timer) {
            EXPECT_EQ(timer->period, 5000u);
        }
    }
}

TEST_F(Startup, AutorunHidesTheWindowBeforeItsFirstUpdate) {
    EXPECT_TRUE(Start(L"/AUTORUN"));
    std::wstring main = Describe(MainWindow);
    int hide = IndexOfCall(L"ShowWindow " + main + L", 0");
    int update = IndexOfCall(L"UpdateWindow " + main);
    ASSERT_GE(hide, 0);
    EXPECT_LT(hide, update);
}

TEST_F(Startup, MenuBarTakesTheBottomStrip) {
    for (bool menuBarFails : {false, true}) {
        SetUp();
        device().menuBarFails = menuBarFails;
        EXPECT_TRUE(Start(L""));
        RECT rect = fake::Find(MainWindow)->rect;
        EXPECT_EQ(rect.bottom - rect.top, menuBarFails ? 320 : 294);
        EXPECT_EQ(MenuBar == nullptr, menuBarFails);
    }
}

TEST_F(Startup, EntryEndsWithZeroWithoutALoopWhenTheStartEnds) {
    device().commandLine = L"AppRunAtTime";
    device().queue.push_back(Message(nullptr, WM_TIMER));
    EXPECT_EQ(ProgramEntry(Instance(), SW_SHOWNORMAL), 0);
    EXPECT_EQ(device().queue.size(), 1u) << "no message loop may run";
}

TEST_F(Startup, EntryRunsTheLoopUntilQuitAndReturnsItsCode) {
    device().commandLine = L"";
    // The main window is the first window the device creates; closing it ends the loop.
    device().queue.push_back(Message(fake::HandleOfWindow(1), WM_CLOSE));

    EXPECT_EQ(ProgramEntry(Instance(), SW_SHOWNORMAL), 0);
    EXPECT_TRUE(device().quitPosted);
    EXPECT_FALSE(fake::Find(MainWindow));
    EXPECT_GE(IndexOfCall(L"TranslateAcceleratorW"), 0);
}

} // namespace
