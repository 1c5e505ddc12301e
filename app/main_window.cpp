// The main window: hosts the settings panel and the menu bar, owns the watch timer.
#include "alert/alert.h"
#include "app/app.h"
#include "platform/dialog.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "res/resource.h"
#include "settings/settings_panel.h"
#include "watch/watch_cycle.h"

plat::SHACTIVATEINFO ActivationInfo;

namespace {

// The handheld shell's record sizes, which it checks.
constexpr DWORD MenuBarInfoSize = 36;
constexpr DWORD ActivationInfoSize = 12;

plat::DialogTemplate LoadDialogTemplate(int id) {
    HRSRC resource = plat::FindResourceW(AppInstance, MAKEINTRESOURCEW(id), RT_DIALOG);
    return {static_cast<LPCDLGTEMPLATEW>(plat::LoadResource(AppInstance, resource)),
            plat::SizeofResource(AppInstance, resource)};
}

// Makes the menu bar and the panel; answers the menu bar.
HWND CreateMainWindow(HWND window) {
    MenuBar = CreateMenuBar(window);
    ActivationInfo = {};
    ActivationInfo.cbSize = ActivationInfoSize;

    RECT client{};
    plat::GetClientRect(window, &client);
    SettingsPanel = plat::CreateDialogIndirectParamW(AppInstance, LoadDialogTemplate(IDD_SETTINGS),
                                                     window, SettingsPanelProc, 0);
    if (SettingsPanel) {
        plat::MoveWindow(SettingsPanel, client.left, client.top, client.right - client.left,
                         client.bottom - client.top, TRUE);
        plat::ShowWindow(SettingsPanel, SW_SHOW);
        plat::UpdateWindow(SettingsPanel);
    }
    return MenuBar;
}

void OpenAboutBox(HWND owner) {
    plat::DialogBoxIndirectParamW(AppInstance, LoadDialogTemplate(IDD_ABOUT), owner, AboutBoxProc,
                                  0);
}

void Quit(HWND window) {
    // As when the user switches away: the shell sees the deactivation before the close.
    plat::SendMessageW(window, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(window));
    plat::SendMessageW(window, WM_CLOSE, 0, 0);
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case IDM_QUIT:
        Quit(window);
        return 0;
    case IDM_ABOUT:
        OpenAboutBox(window);
        return 0;
    case IDM_EXIT:
        plat::SendMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    default:
        return plat::DefWindowProcW(window, WM_COMMAND, wParam, lParam);
    }
}

} // namespace

ATOM RegisterMainWindowClass(HINSTANCE instance, LPCWSTR className) {
    WNDCLASSW windowClass{};
    windowClass.style = CS_VREDRAW | CS_HREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = plat::LoadIconW(instance, MAKEINTRESOURCEW(IDI_NUDGEBELL));
    windowClass.hbrBackground = static_cast<HBRUSH>(plat::GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = className;
    return plat::RegisterClassW(&windowClass);
}

HWND CreateMenuBar(HWND window) {
    plat::SHMENUBARINFO info{};
    info.cbSize = MenuBarInfoSize;
    info.hwndParent = window;
    info.nToolBarId = IDMB_MAIN;
    info.hInstRes = AppInstance;
    return plat::SHCreateMenuBar(&info) ? info.hwndMB : nullptr;
}

void TearDownMainWindow() {
    // The timer goes first, so that no tick runs against a half-destroyed window. The menu bar,
    // an owned window, is already gone: owned windows are destroyed before their owner.
    StopWatchTimer();
    plat::DestroyWindow(SettingsPanel);
    plat::PostQuitMessage(0);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        // The creator's place for the menu bar (StartInstance), which makes room for it.
        HWND menuBar = CreateMainWindow(window);
        if (auto *answer = static_cast<HWND *>(
                reinterpret_cast<const CREATESTRUCTW *>(lParam)->lpCreateParams))
            *answer = menuBar;
        return 0;
    }
    case WM_DESTROY:
        TearDownMainWindow();
        return 0;
    case WM_ACTIVATE:
        plat::SHHandleWMActivate(window, wParam, lParam, &ActivationInfo, 0);
        return 0;
    case WM_PAINT:
        // The panel covers the client area; validating keeps the system from asking again.
        plat::DefWindowProcW(window, message, wParam, lParam);
        return 0;
    case WM_SETTINGCHANGE:
        plat::SHHandleWMSettingChange(window, wParam, lParam, &ActivationInfo);
        return 0;
    case WM_COMMAND:
        return OnCommand(window, wParam, lParam);
    case WM_TIMER:
        WatchTick();
        return 0;
    case WM_ENDSESSION:
        // The session goes (log off, shut down), and the process with it: no later replay
        // forces a level, and one still on record is put back.
        if (wParam) {
            StopWatchTimer();
            RestoreRecordedVolume();
        }
        return 0;
    default:
        return plat::DefWindowProcW(window, message, wParam, lParam);
    }
}
