// Windows: made, shown, found and brought forward.
#pragma once
#include "platform/platform.h"

namespace plat {

HWND FindWindowW(LPCWSTR className, LPCWSTR title);
// The next top-level window after `after` (null: the first) in the system's order, front first.
HWND FindWindowExW(HWND parent, HWND after, LPCWSTR className, LPCWSTR title);
ATOM RegisterClassW(const WNDCLASSW *windowClass);
// Unlike the system's call: a top-level window asked for at CW_USEDEFAULT fills the screen when the
// screen is a handheld's, and is a handheld-sized window on a desktop screen. A top-level window
// asked for visible appears, and takes the front, when it is first shown (ShowWindow).
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);
BOOL ShowWindow(HWND window, int command);
// For another program's window: the request is posted, and the call never waits for that
// program's thread.
BOOL ShowWindowAsync(HWND window, int command);
BOOL UpdateWindow(HWND window);
// Unlike the system's call: a handle with its lowest bit set asks, as on the handheld, to bring the
// window's owned windows forward too: its open modal box comes to the front with the window just
// beneath it. The bit is never passed on to the system. Neither waits for the window's thread.
BOOL SetForegroundWindow(HWND window);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL GetWindowRect(HWND window, RECT *rect);
BOOL GetClientRect(HWND window, RECT *rect);
BOOL ScreenToClient(HWND window, POINT *point);
BOOL DestroyWindow(HWND window);
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// The window in front, whose thread holds the keyboard focus; null when there is none.
HWND GetForegroundWindow();

} // namespace plat
