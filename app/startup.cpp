// The program's entry: the wake-up start, the single running copy, and the message loop.
#include "alert/alert.h"
#include "app/app.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/process.h"
#include "platform/resources.h"
#include "platform/window.h"
#include "res/resource.h"
#include "settings/settings.h"

#include <cwchar>

HINSTANCE AppInstance;
PathBuffer ModulePath;

namespace {

constexpr int NameCapacity = 100;
// How long a start waits for a copy that is starting at the same moment to show its window.
constexpr DWORD CopyPoll = 100;
constexpr int CopyPolls = 50;

// Whether this start is the copy that runs: the program's mutex is held by the first copy for as
// long as it runs, so that of copies started at the same moment only one goes on. A start that
// finds it held waits until the holder's window can be brought forward (into MainWindow), or
// until the holder has ended and this start may run instead.
bool ClaimSingleCopy(LPCWSTR className, LPCWSTR title) {
    HANDLE running = plat::CreateMutexW(nullptr, TRUE, className);
    bool mine = !running || plat::GetLastError() != ERROR_ALREADY_EXISTS;
    MainWindow = plat::FindWindowW(className, title);
    for (int poll = 0; !mine && !MainWindow && poll < CopyPolls; ++poll) {
        DWORD state = plat::WaitForSingleObject(running, CopyPoll);
        mine = state == WAIT_OBJECT_0 || state == WAIT_ABANDONED;
        MainWindow = mine ? nullptr : plat::FindWindowW(className, title);
    }
    return mine && !MainWindow;
}

} // namespace

bool CommandLineHas(LPCWSTR commandLine, LPCWSTR keyword) {
    return commandLine && std::wcsstr(commandLine, keyword);
}

bool ReportFailure(LPCWSTR text) {
    // One box at a time: closing a box inside another would enable the main window under the
    // outer one.
    static bool open = false;
    if (open)
        return false;
    open = true;
    plat::MessageBoxW(MainWindow, text, L"Nudgebell+", MB_ICONHAND);
    open = false;
    return true;
}

bool ReadModulePath() {
    ModulePath[0] = L'\0';
    if (plat::GetModuleFileNameW(nullptr, ModulePath.data(), PathCapacity) == 0) {
        ReportFailure(L"GetModuleFileName() failed!"); // no window yet: no owner
        return false;
    }
    LoadSettings();
    return true;
}

bool StartInstance(HINSTANCE instance, int showCommand) {
    LPCWSTR commandLine = plat::GetCommandLineW();
    // A scheduled start only wakes the device; it must not disturb a running copy.
    if (CommandLineHas(commandLine, L"AppRunAtTime"))
        return false;

    AppInstance = instance;
    wchar_t className[NameCapacity] = L"";
    wchar_t title[NameCapacity] = L"";
    plat::LoadStringW(AppInstance, IDS_CLASS, className, NameCapacity);
    plat::LoadStringW(AppInstance, IDS_TITLE, title, NameCapacity);

    if (!ClaimSingleCopy(className, title)) {
        if (!MainWindow)
            return false; // a copy that shows no window within the wait is left alone
        // Asked, not waited for: the copy may be in the middle of a play, and a start must
        // never wait on it.
        plat::ShowWindowAsync(MainWindow, SW_SHOWNORMAL);
        // The low bit asks for the copy's owned windows (an open About box) to come forward too.
        plat::SetForegroundWindow(
            reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(MainWindow) | 1));
        return false;
    }

    // A copy ended in the middle of a forced play left the user's level forced: the running copy
    // puts it back before anything else.
    RestoreRecordedVolume();
    if (!ReadModulePath())
        return false;

    RegisterMainWindowClass(AppInstance, className);
    MainWindow =
        plat::CreateWindowExW(0, className, title, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, AppInstance, nullptr);
    if (!MainWindow)
        return false;

    if (MenuBar) {
        RECT rect{};
        plat::GetWindowRect(MainWindow, &rect);
        plat::MoveWindow(MainWindow, rect.left, rect.top, rect.right - rect.left,
                         rect.bottom - rect.top - plat::MenuBarHeight, FALSE);
    }

    if (CommandLineHas(commandLine, L"/AUTORUN")) {
        showCommand = SW_HIDE;
        StartWatchTimer();
    }

    plat::ShowWindow(MainWindow, showCommand);
    plat::UpdateWindow(MainWindow);
    return true;
}

int ProgramEntry(HINSTANCE instance, int showCommand) {
    if (!StartInstance(instance, showCommand))
        return 0;

    HACCEL accelerators = plat::LoadAcceleratorsW(AppInstance, MAKEINTRESOURCEW(IDA_MAIN));
    MSG message{};
    while (plat::GetMessageW(&message, nullptr, 0, 0)) {
        if (!plat::TranslateAcceleratorW(message.hwnd, accelerators, &message)) {
            plat::TranslateMessage(&message);
            plat::DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
