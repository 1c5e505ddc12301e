// The main window's messages, commands and teardown, and the About box.
#include "platform/window.h"
#include "tests/unit/device_test.h"

using fake::Describe;
using fake::device;
using fake::IndexOfCall;

namespace {

class MainWindowTest : public DeviceTest {
  protected:
    void SetUp() override {
        DeviceTest::SetUp();
        device().commandLine = L"";
        ASSERT_TRUE(StartInstance(Instance(), SW_SHOWNORMAL));
        device().calls.clear();
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return MainWindowProc(MainWindow, message, wParam, lParam);
    }
};

TEST_F(MainWindowTest, CreationPutsThePanelOverTheClientArea) {
    ASSERT_NE(SettingsPanel, nullptr);
    EXPECT_EQ(fake::Find(SettingsPanel)->parent, MainWindow);
    RECT panel = fake::Find(SettingsPanel)->rect;
    EXPECT_EQ(panel.right - panel.left, 240);
    EXPECT_EQ(panel.bottom - panel.top, 320) << "sized before the menu bar's strip is taken";
    EXPECT_TRUE(fake::Find(SettingsPanel)->visible);
    EXPECT_EQ(ActivationInfo.cbSize, 12u);
}

TEST_F(MainWindowTest, MenuBarIsAskedForWithItsResource) {
    fake::Reset();
    device().commandLine = L"";
    ASSERT_TRUE(StartInstance(Instance(), SW_SHOWNORMAL));
    EXPECT_GE(IndexOfCall(L"SHCreateMenuBar 36, " + Describe(MainWindow) + L", 0, 102"), 0);
}

TEST_F(MainWindowTest, WindowWithoutPanelIsStillCreated) {
    fake::Reset();
    SettingsPanel = nullptr;
    device().commandLine = L"";
    device().dialogFails = true;
    EXPECT_TRUE(StartInstance(Instance(), SW_SHOWNORMAL));
    EXPECT_NE(MainWindow, nullptr);
    EXPECT_EQ(SettingsPanel, nullptr);
}

TEST_F(MainWindowTest, HandledMessagesAnswerZeroOthersGoToDefaultHandling) {
    struct Case {
        UINT message;
        WPARAM wParam;
        const wchar_t *handledBy; // the platform call that shows the handling
    };
    const Case cases[] = {
        {WM_ACTIVATE, WA_ACTIVE, L"SHHandleWMActivate"},
        {WM_SETTINGCHANGE, 0, L"SHHandleWMSettingChange"},
        {WM_COMMAND, 40001, L"DefWindowProcW"},
        {WM_COMMAND, 40002, L"DefWindowProcW"},
        {WM_SIZE, 0, L"DefWindowProcW"},
    };
    for (const Case &c : cases) {
        device().calls.clear();
        EXPECT_EQ(Send(c.message, c.wParam, 0), 0);
        EXPECT_GE(IndexOfCall(c.handledBy), 0) << c.message << " " << c.wParam;
    }
    device().calls.clear();
    Send(WM_COMMAND, 40001, 0);
    EXPECT_GE(IndexOfCall(L"DefWindowProcW " + Describe(MainWindow) + L", 273, 40001"), 0);
}

TEST_F(MainWindowTest, ActivationIsPassedToTheShellWithTheSharedRecord) {
    Send(WM_ACTIVATE, WA_CLICKACTIVE, 0x1234);
    EXPECT_GE(IndexOfCall(L"SHHandleWMActivate " + Describe(MainWindow) + L", 2, 4660, 12, 0"), 0);
}

TEST_F(MainWindowTest, TeardownStopsTheTimerFirstAndQuitsWithZero) {
    StartWatchTimer();
    HWND panel = SettingsPanel;
    HWND bar = MenuBar;
    plat::DestroyWindow(MainWindow);

    std::wstring main = Describe(MainWindow);
    int timer = IndexOfCall(L"KillTimer " + main + L", 1");
    int destroyPanel = IndexOfCall(L"DestroyWindow " + Describe(panel));
    int destroyBar = IndexOfCall(L"DestroyWindow " + Describe(bar));
    int quit = IndexOfCall(L"PostQuitMessage 0");
    ASSERT_GE(timer, 0);
    EXPECT_LT(timer, destroyPanel);
    EXPECT_LT(destroyPanel, destroyBar);
    EXPECT_LT(destroyBar, quit);
    EXPECT_EQ(fake::FindTimer(MainWindow, 1), nullptr);
}

TEST_F(MainWindowTest, CloseCommandsEndTheProgramCtrlQDeactivatesFirst) {
    struct Case {
        WPARAM command;
        bool deactivates;
    };
    for (const Case &c : {Case{1, true}, Case{40004, false}}) {
        SetUp();
        std::wstring main = Describe(MainWindow);
        EXPECT_EQ(Send(WM_COMMAND, c.command), 0);
        int deactivate = IndexOfCall(L"SHHandleWMActivate " + main + L", 0, ");
        int destroy = IndexOfCall(L"DestroyWindow " + main);
        EXPECT_EQ(deactivate >= 0, c.deactivates) << c.command;
        if (c.deactivates) {
            EXPECT_LT(deactivate, destroy);
        }
        EXPECT_TRUE(device().quitPosted);
        EXPECT_EQ(device().quitCode, 0);
        EXPECT_EQ(IndexOfCall(L"RegCreateKeyExW"), -1) << "closing from the menu saves nothing";
    }
}

TEST_F(MainWindowTest, AboutCommandOpensTheBoxOwnedByTheMainWindow) {
    EXPECT_EQ(Send(WM_COMMAND, 40003), 0);
    EXPECT_GE(IndexOfCall(L"FindResourceW #103, #5"), 0);
    EXPECT_GE(IndexOfCall(L"DialogBoxIndirectParamW " + Describe(MainWindow)), 0);
}

TEST_F(MainWindowTest, TicksContinueWhileTheAboutBoxIsOpen) {
    StartWatchTimer();
    uint64_t before = device().now;
    device().whileModalOpen = [](HWND) { fake::RunFor(12000); };
    Send(WM_COMMAND, 40003);
    EXPECT_EQ(device().now - before, 12000u);
    EXPECT_NE(fake::FindTimer(MainWindow, 1), nullptr);
}

TEST(AboutBox, InitialisationAsksTheShellForDoneButtonFullScreenAndNoInputPanel) {
    fake::Reset();
    HWND box = fake::OpenWindow(L"#32770", L"About Nudgebell+");
    EXPECT_EQ(AboutBoxProc(box, WM_INITDIALOG, 0, 0), TRUE);
    EXPECT_GE(fake::IndexOfCall(L"SHInitDialog 1, " + Describe(box) + L", 13"), 0);
}

TEST(AboutBox, OnlyCommandOneClosesTheBox) {
    struct Case {
        WPARAM wParam;
        bool closes;
    };
    for (const Case &c :
         {Case{IDOK, true}, Case{MAKEWPARAM(IDOK, BN_CLICKED), true},
          Case{MAKEWPARAM(IDOK, 7), true}, Case{IDCANCEL, false}, Case{0x10002, false}}) {
        fake::Reset();
        HWND box = fake::OpenWindow(L"#32770", L"About Nudgebell+");
        INT_PTR handled = AboutBoxProc(box, WM_COMMAND, c.wParam, 0);
        EXPECT_EQ(handled, c.closes ? TRUE : FALSE) << c.wParam;
        EXPECT_EQ(fake::IndexOfCall(L"EndDialog " + Describe(box) + L", 1") >= 0, c.closes)
            << c.wParam;
    }
}

} // namespace
