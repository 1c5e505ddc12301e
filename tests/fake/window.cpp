// Windows, the message loop, timers, dialogs and message boxes of the simulated device.
#include "platform/dialog.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "tests/fake/log.h"

#include <algorithm>

using fake::device;
using fake::Log;

namespace {

LRESULT Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    fake::Window *w = fake::Find(window);
    if (!w)
        return 0;
    if (w->procedure)
        return w->procedure(window, message, wParam, lParam);
    if (w->dialogProcedure)
        return w->dialogProcedure(window, message, wParam, lParam);
    return 0;
}

HWND NewWindow(const std::wstring &className, const std::wstring &title, HWND parent, DWORD style) {
    HWND handle = fake::OpenWindow(className, title);
    fake::Window *w = fake::Find(handle);
    w->parent = parent;
    w->style = style;
    w->visible = (style & WS_VISIBLE) != 0;
    w->rect = RECT{0, 0, 240, 320};
    return handle;
}

HWND NewDialog(LPCDLGTEMPLATEW dialogTemplate, HWND parent, DLGPROC procedure, LPARAM param) {
    HWND dialog = NewWindow(L"#32770", L"", parent, 0);
    fake::Find(dialog)->dialogProcedure = procedure;
    fake::CreateDialogItems(dialog, dialogTemplate);
    procedure(dialog, WM_INITDIALOG, 0, param);
    return dialog;
}

// Where the window's top left corner is on the screen: a child's rectangle is relative to
// its parent's.
POINT ScreenOrigin(HWND window) {
    POINT origin{};
    for (fake::Window *w = fake::Find(window); w; w = fake::Find(w->parent)) {
        origin.x += w->rect.left;
        origin.y += w->rect.top;
    }
    return origin;
}

} // namespace

namespace plat {

HWND FindWindowW(LPCWSTR className, LPCWSTR title) {
    Log(L"FindWindowW", className ? className : L"", title ? title : L"");
    for (const fake::Window &w : device().windows)
        if (!w.destroyed && !w.parent && (!className || w.className == className) &&
            (!title || w.title == title))
            return w.handle;
    return nullptr;
}

ATOM RegisterClassW(const WNDCLASSW *windowClass) {
    Log(L"RegisterClassW", windowClass->lpszClassName);
    if (device().classes.count(windowClass->lpszClassName))
        return 0;
    device().classes[windowClass->lpszClassName] = windowClass->lpfnWndProc;
    return static_cast<ATOM>(device().classes.size());
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU, HINSTANCE, LPVOID param) {
    Log(L"CreateWindowExW", exStyle, className, title, style, x, y, width, height, parent);
    auto registered = device().classes.find(className);
    if (registered == device().classes.end())
        return nullptr;
    HWND window = NewWindow(className, title, parent, style);
    fake::Find(window)->procedure = registered->second;
    CREATESTRUCTW create{
        param, nullptr,   nullptr, parent, height, width, y, x, static_cast<LONG>(style),
        title, className, exStyle};
    if (registered->second(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        fake::CloseWindow(window);
        return nullptr;
    }
    return window;
}

BOOL ShowWindow(HWND window, int command) {
    Log(L"ShowWindow", window, command);
    fake::Window *w = fake::Find(window);
    if (!w)
        return FALSE;
    bool was = w->visible;
    w->visible = command != SW_HIDE;
    return was;
}

BOOL UpdateWindow(HWND window) {
    Log(L"UpdateWindow", window);
    return fake::Find(window) != nullptr;
}

BOOL SetForegroundWindow(HWND window) {
    Log(L"SetForegroundWindow", window);
    return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    Log(L"MoveWindow", window, x, y, width, height, repaint);
    fake::Window *w = fake::Find(window);
    if (!w)
        return FALSE;
    w->rect = RECT{x, y, x + width, y + height};
    return TRUE;
}

BOOL GetWindowRect(HWND window, RECT *rect) {
    Log(L"GetWindowRect", window);
    fake::Window *w = fake::Find(window);
    if (!w)
        return FALSE;
    POINT origin = ScreenOrigin(window);
    *rect = RECT{origin.x, origin.y, origin.x + w->rect.right - w->rect.left,
                 origin.y + w->rect.bottom - w->rect.top};
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT *rect) {
    Log(L"GetClientRect", window);
    fake::Window *w = fake::Find(window);
    if (!w)
        return FALSE;
    *rect = RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT *point) {
    Log(L"ScreenToClient", window);
    if (!fake::Find(window))
        return FALSE;
    POINT origin = ScreenOrigin(window);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

BOOL DestroyWindow(HWND window) {
    Log(L"DestroyWindow", window);
    fake::Window *w = fake::Find(window);
    if (!w)
        return FALSE;
    Deliver(window, WM_DESTROY, 0, 0);
    fake::CloseWindow(window);
    return TRUE;
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Log(L"DefWindowProcW", window, message, wParam, lParam);
    if (message == WM_CLOSE)
        plat::DestroyWindow(window);
    return 0;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Log(L"SendMessageW", window, message, wParam, lParam);
    return Deliver(window, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    Log(L"PostQuitMessage", exitCode);
    device().quitPosted = true;
    device().quitCode = exitCode;
}

BOOL GetMessageW(MSG *message, HWND, UINT, UINT) {
    auto &queue = device().queue;
    if (queue.empty()) {
        // With nothing left to hand out the loop must end: as with quit, or with -1 as the
        // code when nothing asked for quit.
        *message = MSG{};
        message->message = WM_QUIT;
        message->wParam = static_cast<WPARAM>(device().quitPosted ? device().quitCode : -1);
        return FALSE;
    }
    *message = queue.front();
    queue.erase(queue.begin());
    return TRUE;
}

int TranslateAcceleratorW(HWND window, HACCEL, MSG *message) {
    Log(L"TranslateAcceleratorW", window, message->message);
    return 0;
}

BOOL TranslateMessage(const MSG *) {
    return FALSE;
}

LRESULT DispatchMessageW(const MSG *message) {
    if (message->message == WM_QUIT)
        return 0;
    return Deliver(message->hwnd, message->message, message->wParam, message->lParam);
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC) {
    Log(L"SetTimer", window, id, milliseconds);
    auto &timers = device().timers;
    std::erase_if(timers, [&](const fake::Timer &t) { return t.window == window && t.id == id; });
    timers.push_back(fake::Timer{window, id, milliseconds, device().now + milliseconds});
    return id;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    Log(L"KillTimer", window, id);
    return std::erase_if(device().timers, [&](const fake::Timer &t) {
               return t.window == window && t.id == id;
           }) != 0;
}

HWND CreateDialogIndirectParamW(HINSTANCE, LPCDLGTEMPLATEW dialogTemplate, HWND parent,
                                DLGPROC procedure, LPARAM param) {
    Log(L"CreateDialogIndirectParamW", parent);
    if (device().dialogFails)
        return nullptr;
    return NewDialog(dialogTemplate, parent, procedure, param);
}

INT_PTR DialogBoxIndirectParamW(HINSTANCE, LPCDLGTEMPLATEW dialogTemplate, HWND owner,
                                DLGPROC procedure, LPARAM param) {
    Log(L"DialogBoxIndirectParamW", owner);
    HWND dialog = NewDialog(dialogTemplate, owner, procedure, param);
    if (device().whileModalOpen)
        device().whileModalOpen(dialog);
    fake::CloseWindow(dialog);
    return 0;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    Log(L"EndDialog", dialog, result);
    return fake::Find(dialog) != nullptr;
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
    Log(L"MessageBoxW", owner, text, caption, style);
    device().messageBoxes.push_back(fake::MessageBoxShown{owner, text, caption, style});
    if (device().whileMessageBoxOpen)
        device().whileMessageBoxOpen();
    return IDOK;
}

} // namespace plat
