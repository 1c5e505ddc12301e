// The program's entry: the wake-up start, the single running copy, and the message loop.
#include "alert/alert.h"
#include "app/app.h"
#include "platform/message_loop.h"
#include "platform/process.h"
#include "platform/resources.h"
#include "platform/window.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "watch/watch_cycle.h"

#include <cwchar>

namespace {

constexpr int NameCapacity = 100;
// How long a start waits for a copy that is starting at the same moment to show its window.
constexpr DWORD CopyPoll = 100;
constexpr int CopyPolls = 50;

struct CopyClaim {
    bool mine;    // this start is the copy that runs
    HWND running; // else the running copy's window; null when it showed none within the wait
};

// Whether this start is the copy that runs: the program's mutex is held by the first copy for as
// long as it runs, so that of copies started at the same moment only one goes on. A start that
// finds it held waits until the holder's window can be brought forward, or until the holder has
// ended and this start may run instead.
CopyClaim ClaimSingleCopy(LPCWSTR className, LPCWSTR title) {
    HANDLE mutex = plat::CreateMutexW(nullptr, TRUE, className);
    bool mine = !mutex || plat::GetLastError() != ERROR_ALREADY_EXISTS;
    HWND running = plat::FindWindowW(className, title);
    for (int poll = 0; !mine && !running && poll < CopyPolls; ++poll) {
        DWORD state = plat::WaitForSingleObject(mutex, CopyPoll);
        mine = state == WAIT_OBJECT_0 || state == WAIT_ABANDONED;
        running = mine ? nullptr : plat::FindWindowW(className, title);
    }
    return {mine && !running, running};
}

} // namespace

bool CommandLineHas(LPCWSTR commandLine, LPCWSTR keyword) {
    return commandLine && std::wcsstr(commandLine, keyword);
}

bool ReadModulePath() {
    ModulePath[0] = L'\0';
    if (plat::GetModuleFileNameW(nullptr, ModulePath.data(), PathCapacity) == 0) {
        ReportFailure(L"GetModuleFileName() failed!"); // no window yet: no owner
        return false;
    }
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

    const CopyClaim claim = ClaimSingleCopy(className, title);
    if (!claim.mine) {
        if (!claim.running)
            return false; // a copy that shows no window within the wait is left alone
        // Asked, not waited for: the copy may be in the middle of a play, and a start must
        // never wait on it.
        plat::ShowWindowAsync(claim.running, SW_SHOWNORMAL);
        // The low bit asks for the copy's owned windows (an open About box) to come forward too.
        plat::SetForegroundWindow(
            reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(claim.running) | 1));
        return false;
    }

    // A copy ended in the middle of a forced play left the user's level forced: the running copy
    // puts it back before anything else.
    RestoreRecordedVolume();
    if (!ReadModulePath())
        return false;
    LoadSettings();

    RegisterMainWindowClass(AppInstance, className);
    // Its creation makes the menu bar and answers it here (WM_CREATE), to make room for it.
    HWND menuBar = nullptr;
    MainWindow = plat::CreateWindowExW(0, className, title, WS_VISIBLE, CW_USEDEFAULT,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                                       nullptr, AppInstance, &menuBar);
    if (!MainWindow)
        return false;

    if (menuBar) {
        RECT rect{};
        plat::GetWindowRect(MainWindow, &rect);
        plat::MoveWindow(MainWindow, rect.left, rect.top, rect.right - rect.left,
                         rect.bottom - rect.top - plat::MenuBarHeight, FALSE);
    }

    if (CommandLineHas(commandLine, L"/AUTORUN")) {
        showCommand = SW_HIDE;
        ArmWatchTimer(PollInterval);
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
    BOOL got = 0;
    // -1 is an error of the queue, not a message: the loop ends (exit code 1) instead of
    // spinning on it.
    while ((got = plat::GetMessageW(&message, nullptr, 0, 0)) > 0) {
        if (!plat::TranslateAcceleratorW(message.hwnd, accelerators, &message)) {
            plat::TranslateMessage(&message);
            plat::DispatchMessageW(&message);
        }
    }
    return got < 0 ? 1 : static_cast<int>(message.wParam);
}
