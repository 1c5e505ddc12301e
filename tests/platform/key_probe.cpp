// Another program's window in front, whose child field has the keyboard focus and writes each
// key message it gets into the window's title, for a test in another process to read: "D40" a
// key down, "U40" a key up, "C13" a character; "*" after a key its thread saw held down. The
// title is "ready" once the field has the focus.
#include <windows.h>

#include <string>

namespace {

std::wstring received;

LRESULT CALLBACK FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    const wchar_t *kind = message == WM_KEYDOWN ? L"D" : message == WM_KEYUP ? L"U" : L"C";
    if (message != WM_KEYDOWN && message != WM_KEYUP && message != WM_CHAR)
        return ::DefWindowProcW(field, message, wParam, lParam);
    bool held = message == WM_KEYDOWN && ::GetKeyState(static_cast<int>(wParam)) < 0;
    received +=
        (received.empty() ? L"" : L" ") + (kind + std::to_wstring(wParam)) + (held ? L"*" : L"");
    ::SetWindowTextW(::GetParent(field), received.c_str());
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    WNDCLASSW fieldClass{};
    fieldClass.lpfnWndProc = FieldProc;
    fieldClass.hInstance = instance;
    fieldClass.lpszClassName = L"NudgebellKeyProbeField";
    HWND probe = ::CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 200,
                                   150, nullptr, nullptr, instance, nullptr);
    HWND field = ::RegisterClassW(&fieldClass)
                     ? ::CreateWindowExW(0, fieldClass.lpszClassName, L"", WS_CHILD | WS_VISIBLE,
                                         10, 10, 100, 40, probe, nullptr, instance, nullptr)
                     : nullptr;
    if (!field)
        return 1;
    ::SetForegroundWindow(probe);
    ::SetFocus(field);
    ::SetWindowTextW(probe, L"ready");
    MSG message;
    while (::IsWindow(probe) && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
