// Windows: made, shown, found and brought forward as on the handheld.
#include "platform/window.h"

namespace plat {

namespace {

// A handheld's screen, 240 x 320, less the title strip at its top.
constexpr int HandheldClientWidth = 240;
constexpr int HandheldClientHeight = 294;

// A handle as the system may see it: the handheld's low-bit flag removed.
HWND SystemHandle(HWND window) {
    return reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(window) & ~ULONG_PTR{1});
}

void DefaultTopLevelPlacement(DWORD style, DWORD exStyle, int &x, int &y, int &width, int &height) {
    // A screen of a handheld's size (at most 480 x 640) is filled, as on the handheld.
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    if (work.right - work.left <= 480 && work.bottom - work.top <= 640) {
        x = work.left;
        y = work.top;
        width = work.right - work.left;
        height = work.bottom - work.top;
        return;
    }
    HDC screen = ::GetDC(nullptr);
    int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    // The caption comes with every top-level window that has no popup style.
    RECT rect{0, 0, ::MulDiv(HandheldClientWidth, dpi, 96),
              ::MulDiv(HandheldClientHeight, dpi, 96)};
    ::AdjustWindowRectEx(&rect, style | WS_CAPTION, FALSE, exStyle);
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
}

} // namespace

HWND FindWindowW(LPCWSTR className, LPCWSTR title) {
    return ::FindWindowW(className, title);
}

HWND FindWindowExW(HWND parent, HWND after, LPCWSTR className, LPCWSTR title) {
    return ::FindWindowExW(parent, after, className, title);
}

ATOM RegisterClassW(const WNDCLASSW *windowClass) {
    return ::RegisterClassW(windowClass);
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    bool topLevel = !parent && !(style & WS_CHILD);
    if (topLevel && width == CW_USEDEFAULT && height == CW_USEDEFAULT)
        DefaultTopLevelPlacement(style, exStyle, x, y, width, height);
    // A top-level window comes up when the program first shows it, and only then takes the
    // front: shown at creation, it would take the front, and the keyboard focus, from the
    // user even when the program hides it at once (a start at sign-in).
    return ::CreateWindowExW(exStyle, className, title, topLevel ? style & ~WS_VISIBLE : style, x,
                             y, width, height, parent, menu, instance, param);
}

BOOL ShowWindow(HWND window, int command) {
    return ::ShowWindow(window, command);
}

BOOL ShowWindowAsync(HWND window, int command) {
    return ::ShowWindowAsync(window, command);
}

BOOL UpdateWindow(HWND window) {
    return ::UpdateWindow(window);
}

BOOL SetForegroundWindow(HWND window) {
    bool withOwned = reinterpret_cast<ULONG_PTR>(window) & 1;
    window = SystemHandle(window);
    // One request, for what the user must see in front: the window's open modal box, if any,
    // with the window just beneath it. The desktop refuses a second request, and a box behind
    // its disabled owner would leave the program looking frozen. The order is posted to the
    // window's thread, which may be busy in another program.
    HWND front = withOwned ? ::GetLastActivePopup(window) : window;
    if (!front || !::IsWindowVisible(front))
        front = window;
    BOOL result = ::SetForegroundWindow(front);
    if (front != window)
        ::SetWindowPos(window, front, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    return result;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    return ::MoveWindow(window, x, y, width, height, repaint);
}

BOOL GetWindowRect(HWND window, RECT *rect) {
    return ::GetWindowRect(window, rect);
}

BOOL GetClientRect(HWND window, RECT *rect) {
    return ::GetClientRect(window, rect);
}

BOOL ScreenToClient(HWND window, POINT *point) {
    return ::ScreenToClient(window, point);
}

BOOL DestroyWindow(HWND window) {
    return window ? ::DestroyWindow(window) : FALSE;
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(window, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    ::PostQuitMessage(exitCode);
}

HWND GetForegroundWindow() {
    return ::GetForegroundWindow();
}

} // namespace plat
