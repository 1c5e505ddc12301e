// The bare minimum the platform needs to do what Nudgebell+ does while it waits: a main
// window holding the program's own settings dialog (with its common controls), a message loop
// and a 5-second timer whose tick looks for the reminder window under one title. Benchmarks
// measure the program against it. "/hidden" starts it hidden, as the program starts with
// "/AUTORUN".
#include "res/resource.h"

#include <windows.h>

#include <commctrl.h>

#include <cwchar>

namespace {

INT_PTR CALLBACK PanelProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        HWND panel = CreateDialogParamW(reinterpret_cast<const CREATESTRUCTW *>(lParam)->hInstance,
                                        MAKEINTRESOURCEW(IDD_SETTINGS), window, PanelProc, 0);
        ShowWindow(panel, SW_SHOW);
        return 0;
    }
    case WM_TIMER:
        FindWindowW(L"Dialog", L"Reminder");
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int show) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = BareProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = L"BARE";
    RegisterClassW(&windowClass);
    HWND window =
        CreateWindowExW(0, L"BARE", L"Bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (std::wcsstr(commandLine, L"/hidden")) {
        show = SW_HIDE;
        SetTimer(window, 1, 5000, nullptr);
    }
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
