// Another program's foreground window whose child control has the keyboard focus. The child
// writes each key message it receives into the window's title, so that a test in another
// process can read them: "D40" a key down, "U40" a key up, "C13" a character; a "*" follows
// a key that the receiving thread saw held down. Its title is "ready" once the child has the
// focus.
#include <windows.h>

#include <string>

namespace {

HWND probe;
std::wstring received;

void Note(wchar_t kind, WPARAM code, bool held) {
    if (!received.empty())
        received += L' ';
    received += kind + std::to_wstring(code) + (held ? L"*" : L"");
    ::SetWindowTextW(probe, received.c_str());
}

LRESULT CALLBACK FocusProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        Note(L'D', wParam, ::GetKeyState(static_cast<int>(wParam)) < 0);
        return 0;
    case WM_KEYUP:
        Note(L'U', wParam, false);
        return 0;
    case WM_CHAR:
        Note(L'C', wParam, false);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY)
        ::PostQuitMessage(0);
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    WNDCLASSW probeClass{};
    probeClass.lpfnWndProc = ProbeProc;
    probeClass.hInstance = instance;
    probeClass.lpszClassName = L"NudgebellKeyProbe";
    WNDCLASSW focusClass{};
    focusClass.lpfnWndProc = FocusProc;
    focusClass.hInstance = instance;
    focusClass.lpszClassName = L"NudgebellKeyProbeFocus";
    if (!::RegisterClassW(&probeClass) || !::RegisterClassW(&focusClass))
        return 1;
    probe = ::CreateWindowExW(0, probeClass.lpszClassName, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                              0, 200, 150, nullptr, nullptr, instance, nullptr);
    HWND focus = ::CreateWindowExW(0, focusClass.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 10, 10,
                                   100, 40, probe, nullptr, instance, nullptr);
    if (!probe || !focus)
        return 1;
    ::SetForegroundWindow(probe);
    ::SetFocus(focus);
    ::SetWindowTextW(probe, L"ready"); // the first key noted replaces it
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
