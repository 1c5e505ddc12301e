// The bare minimum the platform needs to do what Nudgebell+ does while it waits: one window,
// a message loop and a 5-second timer. Benchmarks measure the program against it.
// "/hidden" starts it hidden, as the program starts with "/AUTORUN".
#include <windows.h>

#include <cwchar>

namespace {

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int show) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = BareProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = L"BARE";
    RegisterClassW(&windowClass);
    HWND window =
        CreateWindowExW(0, L"BARE", L"Bare", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
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
