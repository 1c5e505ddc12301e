// Start-up, the single copy, the menu strip, the About box and the ways out, on the real
// program driven by real input: a posted click would ignore what a disabled window refuses.
#include "res/resource.h"
#include "tests/e2e/harness.h"

#include <commctrl.h>

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

RECT Rect(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

// A left click at the middle of a window, or at a fraction of its height.
void Click(HWND window, double down = 0.5) {
    const RECT r = Rect(window);
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

// The menu that a click on the strip's Tools button drops down, or null; clicked once the strip
// takes input again (after a box, its owner's enabling reaches it a moment later).
HWND DropDown(HWND tools) {
    WaitUntil([&] { return ::IsWindowEnabled(::GetParent(tools)); });
    Click(tools);
    return WaitUntil([] { return VisibleMenu() != nullptr; }) ? VisibleMenu() : nullptr;
}

// Lies somewhere above `lower` in the order of top-level windows.
bool Above(HWND upper, HWND lower) {
    for (HWND w = ::GetWindow(upper, GW_HWNDNEXT); w; w = ::GetWindow(w, GW_HWNDNEXT))
        if (w == lower)
            return true;
    return false;
}

HWND Hidden(const wchar_t *windowClass, const wchar_t *title) {
    WNDCLASSW registered{0,       ::DefWindowProcW, 0,       0,       nullptr,
                         nullptr, nullptr,          nullptr, nullptr, windowClass};
    ::RegisterClassW(&registered);
    return ::CreateWindowExW(0, windowClass, title, WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr,
                             nullptr);
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

// Each control of `dialog` in (tab) order: id, class, text, style, rectangle (left, top, width,
// height; a combo box closed) in dialog units of the dialogs' font, a list's entries.
std::vector<std::wstring> Controls(HWND dialog) {
    // A pop-up dialog of 8-point "MS Shell Dlg" tells the pixels of 4 by 8 dialog units.
    alignas(4) static const wchar_t probe[] = L"\x40\x8000\0\0\0\0\0\x9\x9\0\0\0\x8MS Shell Dlg";
    RECT base{0, 0, 4, 8};
    HWND units = ::CreateDialogIndirectW(nullptr, LPCDLGTEMPLATEW(probe), nullptr, nullptr);
    ::MapDialogRect(units, &base);
    ::DestroyWindow(units);
    std::vector<std::wstring> shown;
    for (HWND c = ::GetWindow(dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        wchar_t name[32] = L"", text[100] = L"", line[300];
        ::GetClassNameW(c, name, 32);
        ::SendMessageW(c, WM_GETTEXT, 100, LPARAM(text));
        RECT r = Rect(c);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&r), 2);
        swprintf(line, 300, L"%d|%ls|%ls|%lx|%d,%d,%d,%d", ::GetDlgCtrlID(c), name, text,
                 ::GetWindowLongW(c, GWL_STYLE), ::MulDiv(r.left, 4, base.right),
                 ::MulDiv(r.top, 8, base.bottom), ::MulDiv(r.right - r.left, 4, base.right),
                 ::MulDiv(r.bottom - r.top, 8, base.bottom));
        shown.push_back(line);
        for (LRESULT i = 0, n = ::SendMessageW(c, CB_GETCOUNT, 0, 0); i < n && n != CB_ERR; ++i) {
            ::SendMessageW(c, CB_GETLBTEXT, i, LPARAM(text));
            shown.back() += (i ? L"," : L"|") + std::wstring(text);
        }
    }
    return shown;
}

// Five starts at the same moment: one copy runs on and the others end. The one that runs.
Process StartFiveAtOnce(const wchar_t *arguments) {
    Process starts[5], program;
    for (Process &start : starts)
        start = StartProgram(arguments);
    int ended = 0;
    EXPECT_TRUE(WaitUntil([&] {
        for (Process &start : starts)
            ended += start && Wait(start, 0) == 0;
        return ended == 4;
    })) << ended
        << " of 5 ended";
    for (Process &start : starts)
        if (start)
            program = std::move(start);
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
    EXPECT_EQ(Wait(StartProgram(L"/AUTORUN xAppRunAtTimex"), 10000), 0u);
    EXPECT_FALSE(::IsWindowVisible(window));

    // A second start brings the hidden copy forward, its strip under it, and ends.
    EXPECT_EQ(Wait(StartProgram(L""), 10000), 0u);
    EXPECT_TRUE(WaitUntil(
        [&] { return Pumped(::GetForegroundWindow() == window) && ::IsWindowVisible(bar); }));
    const RECT main = Rect(window), strip = Rect(bar);
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

    // Ctrl+Q during a series (for a hidden reminder of the test's), a wake-up pending, ends it.
    HWND reminder = Hidden(L"Dialog", L"Reminder");
    EXPECT_TRUE(WaitUntil([] { return ReadValue(SettingsKey, L"Language") == 1u; }));
    FocusByCaption(window);
    TypeKeys({VK_CONTROL}, 'Q');
    EXPECT_EQ(Wait(program, 5000), 0u); // promptly even on a busy machine; never, if it ignores it
    ::DestroyWindow(reminder);

    // Hidden starts at the same moment, as a start-up shortcut racing another: one copy runs.
    program = StartFiveAtOnce(L"/AUTORUN");
    EXPECT_NE(WaitForProgramWindow(program), nullptr);
}

TEST_F(LifecycleRun, PlainStartAboutBoxesAndTheStripUnderThemThenToolsExit) {
    // Windows with the program's class or its title alone are no running copy.
    HWND decoys[] = {Hidden(L"Static", ProgramTitle), Hidden(ProgramClass, L"")};
    Process program = StartFiveAtOnce(L"/autorun"); // no keyword: ordinary starts
    HWND window = WaitForProgramWindow(program);
    for (HWND decoy : decoys)
        ::DestroyWindow(decoy);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(::IsWindowVisible(window));
    HWND panel = ::FindWindowExW(window, nullptr, L"#32770", nullptr),
         run = ::GetDlgItem(panel, 1001);
    EXPECT_TRUE(
        WaitUntil([&] { return ::GetForegroundWindow() == window && Focus(window) == run; }));
    // Lists hand their scroll bar to the dropped list, fields their border to an extended style;
    // an up-down sits in its field's place at its right; ">" is level with the closed sound list.
    const std::vector<std::wstring> panelTable{
        L"1001|Button|Run|50010001|4,134,54,14",
        L"1002|Button|Exit|50010000|79,134,54,14",
        L"65535|Static|When notification fires...|50020000|4,3,82,9",
        L"1003|Button|Play sound|50010003|4,15,49,12",
        L"1004|ComboBox|Alarm1|50010103|54,15,66,13|Alarm1,Alarm2,Alarm3,Chimes",
        L"65535|Static|repeat|50020000|4,33,24,10",
        L"1007|Edit|3|50012080|32,32,21,12",
        L"1008|msctls_updown32|Spin1|50000036|52,32,9,12",
        L"65535|Static|times|50020000|67,33,29,10",
        L"65535|Static|every|50020000|4,50,23,10",
        L"1005|Edit|30|50012080|32,49,21,12",
        L"1006|msctls_updown32|Spin1|50000036|52,49,9,12",
        L"65535|Static|seconds|50020000|67,50,33,10",
        L"65535|Static|then|50020000|4,67,18,11",
        L"1009|Button|auto-snooze|50010003|32,66,79,11",
        L"65535|Static|for|50020000|4,84,16,9",
        L"1010|ComboBox|5 minutes|50010003|32,82,66,13|5 minutes,10 minutes,15 minutes,30 minutes,"
        L"1 hour,2 hours",
        L"1011|Button|Automatically run on startup|50010003|4,116,108,11",
        L"1014|Button|>|50010000|121,15,12,13",
        L"65535|Static|Volume level|50020000|4,101,49,8",
        L"1015|ComboBox|Don't change|50010003|54,99,79,13|Don't change,Set to minimum,"
        L"Set to medium,Set to maximum,Gradually increase"};
    EXPECT_EQ(Controls(panel), panelTable);
    EXPECT_EQ(::SendDlgItemMessageW(panel, 1008, UDM_GETRANGE, 0, 0), 100);
    EXPECT_EQ(::SendDlgItemMessageW(panel, 1006, UDM_GETRANGE, 0, 0), 5 << 16 | 300);

    // A second start over another program's full-screen window brings the strip forward with
    // the main window, directly above it.
    HWND bar = ::FindWindowW(L"NudgebellPlusMenuBar", L"");
    HWND full = ::CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                  ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                                  nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return Pumped(::SetForegroundWindow(full) && Above(full, bar)); }));
    EXPECT_EQ(Wait(StartProgram(L""), 10000), 0u);
    bool raised = WaitUntil([&] { return Pumped(Above(window, full)); });
    EXPECT_TRUE(raised && WaitUntil([&] { return ::GetWindow(window, GW_HWNDPREV) == bar; }, 5000))
        << "strip behind the other window: " << Above(full, bar);
    ::DestroyWindow(full);

    // Tools -> About. Under the box the strip takes no input; once the box has closed it does.
    HWND tools = ::FindWindowExW(bar, nullptr, L"Button", L"Tools");
    Click(DropDown(tools), 0.25);
    HWND box = WaitForOwnedWindow(window, L"About Nudgebell+");
    ASSERT_NE(box, nullptr);
    // It covers the main window, its caption with the Done (close) button and no icon.
    const RECT covered = Rect(box), owner = Rect(window);
    EXPECT_TRUE(::EqualRect(&covered, &owner));
    EXPECT_EQ(DWORD(::GetWindowLongW(box, GWL_STYLE)), 0x94C80044u); // a visible captioned popup
    EXPECT_EQ(::GetWindowLongW(box, GWL_EXSTYLE), 0x10101);          // a modal frame, no 0x80000000
    const std::vector<std::wstring> aboutTable{
        L"65535|Static|\xFFFF"
        L"e|50000003|7,17,18,20", // icon 101, at its own size
        L"65535|Static|Nudgebell+\nVersion 1.1a|50020080|34,17,73,18",
        L"65535|Static|Replays your reminders until you notice them, and snoozes them when you "
        L"don't.|50020000|33,43,102,47",
        L"1|Button|OK|50010000|49,129,40,14",
        L"65535|Static|By the Nudgebell+ developers. MIT License.|50020000|33,96,87,21"};
    EXPECT_EQ(Controls(box), aboutTable);
    ::PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(WaitUntil([&] { return !::IsWindow(box); }, 500)) << "closed on cancel";
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
    ASSERT_NE(box = WaitForOwnedWindow(window, L"About Nudgebell+"), nullptr);
    for (bool covered : {false, true}) {
        HWND over = covered ? Cover() : nullptr;
        EXPECT_EQ(Wait(StartProgram(L""), 10000), 0u);
        EXPECT_TRUE(WaitUntil(
            [&] { return Pumped(::GetForegroundWindow() == box && Above(box, window)); }));
        ::DestroyWindow(over);
    }
    // A window in front that closes while the box is open leaves the box in front.
    ::DestroyWindow(Cover());
    EXPECT_TRUE(WaitUntil([&] { return Pumped(::GetForegroundWindow() == box); }));

    // Tools -> Exit ends the program without saving.
    ::PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0); // the caption's Done
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));
    Click(DropDown(tools), 0.75);
    EXPECT_EQ(Wait(program, 10000), 0u);
    EXPECT_FALSE(ReadValue(SettingsKey, L"Play")) << "nothing saved";

    // The menu's items and the keyboard shortcuts, as the program hands them to the system.
    HMODULE image = ::LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HMENU menu = ::GetSubMenu(::LoadMenuW(image, MAKEINTRESOURCEW(IDM_MAIN)), 0);
    std::vector<std::wstring> items; // "id text", then "flags key command"
    wchar_t text[32];
    for (int k = 0; ::GetMenuStringW(menu, k, text, 32, MF_BYPOSITION) > 0; ++k)
        items.push_back(std::to_wstring(::GetMenuItemID(menu, k)) + L" " + text);
    ACCEL keys[4]{};
    for (int k = 0, n = ::CopyAcceleratorTableW(
                        ::LoadAcceleratorsW(image, MAKEINTRESOURCEW(IDA_MAIN)), keys, 4);
         k < n; ++k)
        items.push_back(std::to_wstring(keys[k].fVirt) + L" " + wchar_t(keys[k].key) + L" " +
                        std::to_wstring(keys[k].cmd));
    EXPECT_EQ(items,
              (std::vector<std::wstring>{L"40003 About", L"40004 Exit", L"11 A 40003", L"11 Q 1"}));
}

} // namespace
