// Start-up, the single copy, the menu strip, the About box and the ways out, on the real
// program driven by real input: a posted click would ignore what a disabled window refuses.
#include "tests/e2e/harness.h"

namespace {

using namespace e2e;

class LifecycleRun : public ProgramTest {};

HWND Focus(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// The test's own windows get their messages while it waits.
bool Pumped(bool condition) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&message);
    return condition;
}

// A left click at the middle of a window, or at a fraction of its height.
void Click(HWND window, double down = 0.5) {
    RECT r{};
    ::GetWindowRect(window, &r);
    INPUT inputs[3]{};
    for (DWORD i = 0, flags[] = {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}; i < 3; ++i) {
        inputs[i].type = INPUT_MOUSE;
        inputs[i].mi.dx = ::MulDiv((r.left + r.right) / 2, 65535, ::GetSystemMetrics(SM_CXSCREEN));
        inputs[i].mi.dy = ::MulDiv(r.top + static_cast<int>((r.bottom - r.top) * down), 65535,
                                   ::GetSystemMetrics(SM_CYSCREEN));
        inputs[i].mi.dwFlags = flags[i] | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    }
    ::SendInput(3, inputs, sizeof(INPUT));
}

HWND VisibleMenu() {
    HWND menu = ::FindWindowW(L"#32768", nullptr);
    return menu && ::IsWindowVisible(menu) ? menu : nullptr;
}

// The menu that a click on the strip's Tools button drops down, or null.
HWND DropDown(HWND tools) {
    Click(tools);
    WaitUntil([] { return VisibleMenu() != nullptr; });
    return VisibleMenu();
}

HWND AboutBox(HWND window) {
    WaitUntil([&] { return FindOwnedWindow(window, L"About Nudgebell+") != nullptr; });
    return FindOwnedWindow(window, L"About Nudgebell+");
}

// Lies somewhere above `lower` in the order of top-level windows.
bool Above(HWND upper, HWND lower) {
    for (HWND w = ::GetWindow(upper, GW_HWNDNEXT); w; w = ::GetWindow(w, GW_HWNDNEXT))
        if (w == lower)
            return true;
    return false;
}

// Another program's window (this test's) in front of all others, over the panel, the focus
// in a field of its own.
HWND Cover() {
    HWND over = ::CreateWindowExW(WS_EX_TOPMOST, L"Static", L"", WS_POPUP | WS_VISIBLE, 20, 100,
                                  200, 120, nullptr, nullptr, nullptr, nullptr);
    HWND field = ::CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE, 0, 0, 99, 20, over,
                                   nullptr, nullptr, nullptr);
    ::SetForegroundWindow(over);
    ::SetFocus(field);
    EXPECT_TRUE(WaitUntil([&] { return Pumped(::GetForegroundWindow() == over); }));
    return over;
}

// Gives the main window itself the keyboard focus as a user does: with another window in
// front, a click on the main window's caption.
void FocusByCaption(HWND window) {
    HWND over = Cover();
    Click(window, 0.03);
    EXPECT_TRUE(WaitUntil([&] { return Pumped(Focus(window) == window); }));
    ::DestroyWindow(over);
}

// Five starts at the same moment: one copy runs on and the others end. The one that runs.
Process StartFiveAtOnce(const wchar_t *arguments) {
    Process starts[5], program;
    for (Process &start : starts)
        start = StartProgram(arguments);
    int ended = 0;
    EXPECT_TRUE(WaitUntil([&] {
        for (Process &start : starts)
            ended += start.handle && Wait(start, 0) == 0;
        return ended == 4;
    })) << ended
        << " of 5 ended";
    for (Process &start : starts)
        program.handle = start.handle ? start.handle : program.handle;
    return program;
}

TEST_F(LifecycleRun, HiddenStartWakeUpAndSecondStartThenCtrlQ) {
    // Another program in front, as at sign-in.
    HWND front = Cover();
    HWND field = ::GetWindow(front, GW_CHILD);

    Process program = StartProgram(L"/AUTORUN");
    HWND window = WaitForProgramWindow(program);
    ASSERT_NE(window, nullptr);
    HWND bar = ::FindWindowW(L"NudgebellPlusMenuBar", L"");
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_FALSE(::IsWindowVisible(bar));
    EXPECT_TRUE(Pumped(::GetForegroundWindow() == front)) << "a hidden start takes nothing";
    EXPECT_EQ(::GetFocus(), field);

    // The wake-up keyword, inside a word and before "/AUTORUN", ends the start at once.
    Process wake = StartProgram(L"/AUTORUN xAppRunAtTimex");
    EXPECT_EQ(Wait(wake, 10000), 0u);
    EXPECT_FALSE(::IsWindowVisible(window));

    // A copy in a folder named like the keyword is a second start: it brings the hidden copy
    // forward, its strip under it, and ends.
    wchar_t temp[MAX_PATH] = L"";
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = temp + std::wstring(L"AppRunAtTime"), copy = folder + L"\\copy.exe";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW(ProgramPath().c_str(), copy.c_str(), FALSE));
    Process second = Start(copy, L"");
    EXPECT_EQ(Wait(second, 10000), 0u);
    ::DeleteFileW(copy.c_str());
    ::RemoveDirectoryW(folder.c_str());
    EXPECT_TRUE(WaitUntil(
        [&] { return Pumped(::GetForegroundWindow() == window) && ::IsWindowVisible(bar); }));
    RECT main{}, strip{};
    ::GetWindowRect(window, &main);
    ::GetWindowRect(bar, &strip);
    RECT under{main.left, main.bottom, main.right, ::GetSystemMetrics(SM_CYSCREEN)};
    EXPECT_TRUE(::EqualRect(&strip, &under));

    // With the focus in the sound list, another window comes over the panel and closes: the
    // main window is active again, the focus where it was, and the strip never took either.
    ::DestroyWindow(front);
    HWND sounds = ::GetDlgItem(::FindWindowExW(window, nullptr, L"#32770", nullptr), 1004);
    auto dropped = [&] { return ::SendMessageW(sounds, CB_GETDROPPEDSTATE, 0, 0) != 0; };
    Click(sounds);
    ASSERT_TRUE(WaitUntil([&] { return dropped() && Focus(window) == sounds; }));
    TypeKeys({}, VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !dropped(); }));
    ::DestroyWindow(Cover());
    bool stripActive = false;
    EXPECT_TRUE(WaitUntil([&] {
        stripActive |= ::GetForegroundWindow() == bar;
        return ::GetForegroundWindow() == window && Focus(window) == sounds;
    }));
    EXPECT_FALSE(stripActive);

    FocusByCaption(window);
    TypeKeys({VK_CONTROL}, 'Q');
    EXPECT_EQ(Wait(program, 10000), 0u);

    // Hidden starts at the same moment, as a start-up shortcut racing another: one copy runs.
    program = StartFiveAtOnce(L"/AUTORUN");
    EXPECT_NE(WaitForProgramWindow(program), nullptr);
}

TEST_F(LifecycleRun, PlainStartAboutBoxesAndTheStripUnderThemThenToolsExit) {
    // Windows with the program's class or its title alone are no running copy.
    WNDCLASSW decoyClass{};
    decoyClass.lpfnWndProc = ::DefWindowProcW;
    decoyClass.lpszClassName = ProgramClass;
    ::RegisterClassW(&decoyClass);
    HWND decoys[2];
    for (int i = 0; i < 2; ++i)
        decoys[i] = ::CreateWindowExW(0, i ? ProgramClass : L"Static", i ? L"" : ProgramTitle,
                                      WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    Process program = StartFiveAtOnce(L"/autorun"); // no keyword: ordinary starts
    HWND window = WaitForProgramWindow(program);
    for (HWND decoy : decoys)
        ::DestroyWindow(decoy);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(::IsWindowVisible(window));
    HWND run = ::GetDlgItem(::FindWindowExW(window, nullptr, L"#32770", nullptr), 1001);
    EXPECT_TRUE(
        WaitUntil([&] { return ::GetForegroundWindow() == window && Focus(window) == run; }));

    // A second start over another program's full-screen window brings the strip forward with
    // the main window, directly above it.
    HWND bar = ::FindWindowW(L"NudgebellPlusMenuBar", L"");
    HWND full = ::CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                  ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                                  nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return Pumped(::SetForegroundWindow(full) && Above(full, bar)); }));
    Process again = StartProgram(L"");
    EXPECT_EQ(Wait(again, 10000), 0u);
    bool raised = WaitUntil([&] { return Pumped(Above(window, full)); });
    EXPECT_TRUE(raised && WaitUntil([&] { return ::GetWindow(window, GW_HWNDPREV) == bar; }, 2000))
        << "strip behind the other window: " << Above(full, bar);
    ::DestroyWindow(full);

    // Tools -> About. Under the box the strip takes no input; once the box has closed it does.
    HWND tools = ::FindWindowExW(bar, nullptr, L"Button", L"Tools");
    Click(DropDown(tools), 0.25);
    HWND box = AboutBox(window);
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(::IsWindowEnabled(::GetParent(tools)));
    Click(tools);
    TypeKeys({}, VK_SPACE); // after the click, on the box's OK; a menu would take it
    bool menuShown = false;
    EXPECT_TRUE(WaitUntil([&] {
        menuShown |= VisibleMenu() != nullptr;
        return !::IsWindow(box);
    }));
    EXPECT_FALSE(menuShown);
    EXPECT_EQ(Wait(program, 0), STILL_ACTIVE);
    EXPECT_NE(DropDown(tools), nullptr);
    TypeKeys({}, VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([] { return !VisibleMenu(); }));

    // Ctrl+A once the main window has the focus. A second start brings the box forward over
    // its owner, whether the box or another program's window was in front.
    FocusByCaption(window);
    TypeKeys({VK_CONTROL}, 'A');
    ASSERT_NE(box = AboutBox(window), nullptr);
    for (bool covered : {false, true}) {
        HWND over = covered ? Cover() : nullptr;
        Process again = StartProgram(L"");
        EXPECT_EQ(Wait(again, 10000), 0u);
        EXPECT_TRUE(WaitUntil(
            [&] { return Pumped(::GetForegroundWindow() == box && Above(box, window)); }));
        ::DestroyWindow(over);
    }

    // Tools -> Exit ends the program without saving.
    Click(::GetDlgItem(box, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));
    Click(DropDown(tools), 0.75);
    EXPECT_EQ(Wait(program, 10000), 0u);
    EXPECT_FALSE(ReadValue(SettingsKey, L"Play")) << "nothing saved";
}

} // namespace
