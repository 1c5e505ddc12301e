// Start-up, the single copy, closing and the About box, on the real program.
#include "tests/e2e/harness.h"

namespace {

using namespace e2e;

class StartupE2E : public ProgramTest {};

// Sends the About command to the main window and waits for the box; null when none opened.
HWND OpenAboutBox(HWND window) {
    ::PostMessageW(window, WM_COMMAND, 40003, 0);
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindOwnedWindow(window, L"About Nudgebell+")) != nullptr; });
    return box;
}

TEST_F(StartupE2E, WakeUpStartEndsAtOnceAndLeavesTheHiddenCopyHidden) {
    Process copy = StartProgram(L"/AUTORUN");
    HWND window = WaitForProgramWindow(copy);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(::IsWindowVisible(window));

    Process wake = StartProgram(L"AppRunAtTime");
    EXPECT_EQ(Wait(wake, 10000), 0u);
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_EQ(Wait(copy, 0), STILL_ACTIVE) << "the running copy must go on";
    Close(copy);
}

TEST_F(StartupE2E, SecondStartShowsTheHiddenCopyInFront) {
    for (const wchar_t *second : {L"", L"/AUTORUN"}) {
        EndAllCopies();
        Process copy = StartProgram(L"/AUTORUN");
        HWND window = WaitForProgramWindow(copy);
        ASSERT_NE(window, nullptr);

        Process again = StartProgram(second);
        EXPECT_EQ(Wait(again, 10000), 0u);
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(window); }));
        EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == window; }));
        EXPECT_EQ(Wait(copy, 0), STILL_ACTIVE);
        Close(copy);
    }
}

TEST_F(StartupE2E, OrdinaryStartShowsTheWindowAndAutorunStartsHidden) {
    struct Case {
        const wchar_t *arguments;
        bool visible;
    };
    for (const Case &c : {Case{L"", true}, Case{L"/AUTORUN", false}, Case{L"/autorun", true}}) {
        EndAllCopies();
        Process program = StartProgram(c.arguments);
        HWND window = WaitForProgramWindow(program);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(::IsWindowVisible(window) != FALSE, c.visible) << c.arguments;
        Close(program);
    }
}

TEST_F(StartupE2E, KeywordInTheProgramsOwnPathIsNoKeyword) {
    // Only the arguments count: a copy of the program in a folder named like the wake-up
    // keyword must start normally.
    wchar_t temp[MAX_PATH] = L"";
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"AppRunAtTime";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring copy = folder + L"\\nudgebellplus.exe";
    ASSERT_TRUE(::CopyFileW(ProgramPath().c_str(), copy.c_str(), FALSE));

    Process program = Start(copy, L"");
    HWND window = WaitForProgramWindow(program);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(window); }));
    Close(program);
    EndAllCopies();
    ::DeleteFileW(copy.c_str());
    ::RemoveDirectoryW(folder.c_str());
}

TEST_F(StartupE2E, MenuBarSitsUnderTheWindowAndHidesAndShowsWithIt) {
    Process program = StartProgram(L"/AUTORUN");
    HWND window = WaitForProgramWindow(program);
    ASSERT_NE(window, nullptr);
    HWND bar = WaitForWindow(L"NudgebellPlusMenuBar", L"");
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(::IsWindowVisible(bar));

    Process again = StartProgram(L"");
    EXPECT_EQ(Wait(again, 10000), 0u);
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(bar); }));
    RECT main{}, strip{}, screen{};
    ::GetWindowRect(window, &main);
    ::GetWindowRect(bar, &strip);
    ::GetWindowRect(::GetDesktopWindow(), &screen);
    EXPECT_EQ(strip.top, main.bottom);
    EXPECT_EQ(strip.left, main.left);
    EXPECT_EQ(strip.right, main.right);
    EXPECT_EQ(strip.bottom, screen.bottom) << "the bar takes the bottom of the handheld's screen";
    Close(program);
}

TEST_F(StartupE2E, ToolsExitAndCtrlQEndWithZero) {
    // Tools -> Exit through the real menu bar: its button drops the menu, whose Exit item
    // sends the command to the main window.
    Process program = StartProgram(L"");
    HWND window = WaitForProgramWindow(program);
    ASSERT_NE(window, nullptr);
    HWND bar = WaitForWindow(L"NudgebellPlusMenuBar", L"");
    ASSERT_NE(bar, nullptr);
    HWND tools = ::FindWindowExW(bar, nullptr, L"Button", L"Tools");
    ASSERT_NE(tools, nullptr);
    ::PostMessageW(tools, BM_CLICK, 0, 0);
    HWND menu = WaitForWindow(L"#32768", nullptr);
    ASSERT_NE(menu, nullptr);
    ::PostMessageW(menu, WM_KEYDOWN, VK_UP, 0); // the last item, "Exit"
    ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(Wait(program, 10000), 0u);

    // Ctrl+Q reaches the main window when it has the keyboard focus.
    program = StartProgram(L"");
    window = WaitForProgramWindow(program);
    ASSERT_NE(window, nullptr);
    DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    ASSERT_TRUE(::AttachThreadInput(::GetCurrentThreadId(), thread, TRUE));
    ::SetForegroundWindow(window);
    ::SetFocus(window);
    ::AttachThreadInput(::GetCurrentThreadId(), thread, FALSE);
    TypeKeys({VK_CONTROL}, 'Q');
    EXPECT_EQ(Wait(program, 10000), 0u);
}

TEST_F(StartupE2E, AboutBoxOpensOnItsCommandAndClosesOnlyOnCommandOne) {
    Process program = StartProgram(L"");
    HWND window = WaitForProgramWindow(program);
    ASSERT_NE(window, nullptr);

    HWND box = OpenAboutBox(window);
    ASSERT_NE(box, nullptr);
    RECT boxRect{}, mainRect{};
    ::GetWindowRect(box, &boxRect);
    ::GetWindowRect(window, &mainRect);
    EXPECT_TRUE(::EqualRect(&boxRect, &mainRect)) << "the box covers the main window's area";
    EXPECT_TRUE(::GetWindowLongW(box, GWL_STYLE) & WS_SYSMENU) << "the caption's Done button";

    ::PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    ::Sleep(500);
    EXPECT_TRUE(::IsWindow(box)) << "cancel leaves the box open";

    // The caption's Done button sends command 1.
    ::PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));

    ASSERT_NE(box = OpenAboutBox(window), nullptr);
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));
    Close(program);
}

TEST_F(StartupE2E, SecondStartBringsAnOpenAboutBoxForward) {
    Process program = StartProgram(L"");
    HWND window = WaitForProgramWindow(program);
    ASSERT_NE(window, nullptr);
    HWND box = OpenAboutBox(window);
    ASSERT_NE(box, nullptr);

    // Another program takes the front, as a reminder does.
    Process other = Start(ToolPath(L"reminder.exe"), L"/class:Other");
    ASSERT_TRUE(WaitUntil([&] {
        HWND front = ::GetForegroundWindow();
        return front && front != box && front != window;
    }));

    Process again = StartProgram(L"");
    EXPECT_EQ(Wait(again, 10000), 0u);
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == box; }))
        << "front: " << ::GetForegroundWindow() << " box: " << box << " main: " << window;
    ::TerminateProcess(other.handle, 0);
    Close(other);
    Close(program);
}

} // namespace
