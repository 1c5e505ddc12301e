// Key presses posted to a window's queue, as the handheld posts them: the receiving thread
// sees the key as if typed, translates it into its character itself, and the system's key
// state never holds the key down.
#include "platform/keyboard.h"

namespace plat {

namespace {

bool IsExtendedKey(UINT virtualKey) {
    switch (virtualKey) {
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_INSERT:
    case VK_DELETE:
        return true;
    default:
        return false;
    }
}

HWND FocusWindow() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(0, &info)) // 0: the foreground thread, whichever process owns it
        return nullptr;
    return info.hwndFocus ? info.hwndFocus : info.hwndActive;
}

} // namespace

// The characters that the handheld passes along are those the key types; the receiver's own
// translation of the key produces them here, so posting them as well would type them twice.
BOOL PostKeybdMessage(HWND window, UINT virtualKey, UINT keyStateFlags, UINT, UINT *, UINT *) {
    HWND target = window == reinterpret_cast<HWND>(-1) ? FocusWindow() : window;
    if (!target)
        return FALSE;
    bool down = (keyStateFlags & KeyStateDownFlag) != 0;
    LPARAM detail = 1; // repeat count
    detail |= static_cast<LPARAM>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC) & 0xFF) << 16;
    if (IsExtendedKey(virtualKey))
        detail |= LPARAM{1} << 24;
    if (!down)
        detail |= (LPARAM{1} << 30) | (LPARAM{1} << 31);
    return ::PostMessageW(target, down ? WM_KEYDOWN : WM_KEYUP, virtualKey, detail);
}

} // namespace plat
