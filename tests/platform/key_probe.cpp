// Another program's window in front, whose child field has the keyboard focus. Each key
// message for the field goes into the window's title, for a test in another process to read:
// "D40" a key down, "U40" a key up, "C13" a character; "*" after a key its thread saw held
// down. The title is "ready" once the field has the focus.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    HWND probe = ::CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 200,
                                   150, nullptr, nullptr, nullptr, nullptr);
    HWND field = ::CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 10, 10, 100, 40, probe,
                                   nullptr, nullptr, nullptr);
    ::SetForegroundWindow(probe);
    ::SetFocus(field);
    ::SetWindowTextW(probe, L"ready");
    std::wstring received;
    MSG message;
    while (::IsWindow(probe) && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
        UINT kind = message.message;
        if (message.hwnd == field && (kind == WM_KEYDOWN || kind == WM_KEYUP || kind == WM_CHAR)) {
            bool held = kind == WM_KEYDOWN && ::GetKeyState(static_cast<int>(message.wParam)) < 0;
            received += (received.empty() ? L"" : L" ") +
                        std::wstring(1, L"DUC"[kind - WM_KEYDOWN]) +
                        std::to_wstring(message.wParam) + (held ? L"*" : L"");
            ::SetWindowTextW(probe, received.c_str());
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
