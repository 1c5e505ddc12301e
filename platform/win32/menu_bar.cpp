// The handheld's menu bar realized on the desktop: a strip of buttons that sits under its
// parent window, follows it when it moves, hides and shows with it, takes input only while the
// parent does (not under its modal boxes), and drops the parent's menus down from its buttons.
// The menu commands go to the parent, as on the handheld. The strip is never the active window
// and never holds the keyboard focus, which stay with the parent.
#include "platform/shell.h"

#include <array>
#include <iterator>
#include <utility>

namespace plat {

namespace {

constexpr wchar_t MenuBarClass[] = L"NudgebellPlusMenuBar";
constexpr int ButtonWidth = 60;
// Asks a strip to pass on to its parent the activation that the system offered it.
constexpr UINT HandOverActivation = WM_APP;
// Asks a strip to bring its parent, and so itself, forward once the parent's activation is done.
constexpr UINT BringForward = WM_APP + 1;

ATOM barClass;
// The guard is in while any bar lives: the last one to go takes it out.
HHOOK activationGuard;
int liveBars;

// Each parent's own window procedure and its bar. The parent's procedure is replaced by one that
// moves the bar along and passes every message on: a lookup in this table is all that a message
// to the parent costs (the system's subclass records are looked up in the window server, at
// every message, even a timer tick). The entry lives until the parent is destroyed, since
// another replacement may have been chained on top of ours meanwhile.
struct Follower {
    HWND parent;
    HWND bar; // null once the bar is gone
    WNDPROC parentProc;
};
std::array<Follower, 4> followers;

Follower *FollowerOf(HWND parent) {
    for (Follower &entry : followers)
        if (entry.parent == parent)
            return &entry;
    return nullptr;
}

// One button of the menu-bar resource: seven 16-bit words. Every button of ours drops down a
// pop-up, so `command` (what a button without one sends) is not used.
struct ButtonWords {
    WORD image, command, state, style, caption, reserved, popup;
};

// What a bar keeps in its window's extra bytes: the parent, the menu, and for each of up to
// MaxButtons buttons the index of the pop-up it drops down.
constexpr int MaxButtons = 4;
constexpr int ParentSlot = 0;
constexpr int MenuSlot = sizeof(LONG_PTR);
constexpr int PopupSlot = 2 * sizeof(LONG_PTR);
constexpr int ExtraBytes = (2 + MaxButtons) * sizeof(LONG_PTR);

HWND ParentOf(HWND bar) {
    return reinterpret_cast<HWND>(::GetWindowLongPtrW(bar, ParentSlot));
}
HMENU MenuOf(HWND bar) {
    return reinterpret_cast<HMENU>(::GetWindowLongPtrW(bar, MenuSlot));
}

LRESULT CALLBACK GuardActivation(int code, WPARAM wParam, LPARAM lParam);

// The bar goes under its parent, and when `restack`, directly above it in the order of windows:
// a parent brought forward over another window must not leave its bar behind that window.
void PlaceUnderParent(HWND bar, HWND parent, bool restack) {
    RECT rect{};
    ::GetWindowRect(parent, &rect);
    bool visible = ::IsWindowVisible(parent);
    UINT flags = SWP_NOACTIVATE | (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    HWND above = visible && restack ? ::GetWindow(parent, GW_HWNDPREV) : bar;
    // A topmost window over the parent stays over the bar too.
    if (above && above != bar && (::GetWindowLongW(above, GWL_EXSTYLE) & WS_EX_TOPMOST))
        above = HWND_TOP;
    if (above == bar)
        flags |= SWP_NOZORDER;
    ::SetWindowPos(bar, above ? above : HWND_TOP, rect.left, rect.bottom, rect.right - rect.left,
                   MenuBarHeight, flags);
    // The guard goes in once a bar can first be offered the activation, that is when it is
    // first shown: not earlier, where it would be called for each window the parent creates.
    if (visible && !activationGuard)
        activationGuard =
            ::SetWindowsHookExW(WH_CBT, GuardActivation, nullptr, ::GetCurrentThreadId());
}

LRESULT CALLBACK FollowParent(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
    Follower *entry = FollowerOf(parent);
    if (!entry) // cannot happen: the procedure is only ever set together with an entry
        return ::DefWindowProcW(parent, message, wParam, lParam);
    WNDPROC parentProc = entry->parentProc;
    HWND bar = entry->bar;
    if (message == WM_NCDESTROY) {
        if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(parent, GWLP_WNDPROC)) == FollowParent)
            ::SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(parentProc));
        *entry = {};
    }
    if (bar && message == WM_ENABLE)
        ::EnableWindow(bar, wParam != 0);
    LRESULT result = ::CallWindowProcW(parentProc, parent, message, wParam, lParam);
    if (bar && message == WM_WINDOWPOSCHANGED)
        PlaceUnderParent(bar, parent,
                         !(reinterpret_cast<const WINDOWPOS *>(lParam)->flags & SWP_NOZORDER));
    else if (bar && message == WM_SHOWWINDOW)
        PlaceUnderParent(bar, parent, false);
    else if (bar && message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE)
        ::PostMessageW(bar, BringForward, 0, 0);
    return result;
}

void DropDown(HWND bar, int button) {
    RECT rect{};
    ::GetWindowRect(::GetDlgItem(bar, button), &rect);
    int popup = static_cast<int>(::GetWindowLongPtrW(bar, PopupSlot + button * sizeof(LONG_PTR)));
    HWND parent = ParentOf(bar);
    if (!::IsWindowEnabled(parent)) // under a modal box, as a click posted to the bar may be
        return;
    // The menu closes properly only when its owner is in the foreground.
    ::SetForegroundWindow(parent);
    ::TrackPopupMenu(::GetSubMenu(MenuOf(bar), popup),
                     TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_LEFTBUTTON, rect.left, rect.top, 0,
                     parent, nullptr);
}

LRESULT CALLBACK MenuBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) < MaxButtons)
            DropDown(bar, LOWORD(wParam));
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_NCCREATE:
        ++liveBars;
        break;
    case BringForward:
        // Wine raises a window activated from another process after its activation, without
        // telling it, and leaves its owned windows behind; a raise of our own moves the strip
        // along (above). Only while the parent is still in front: the user may have moved on.
        if (::GetForegroundWindow() == ParentOf(bar))
            ::SetWindowPos(ParentOf(bar), HWND_TOP, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return 0;
    case HandOverActivation:
        // Nothing else took the foreground meanwhile: the parent (or its open box) takes it.
        if (!::GetForegroundWindow() && ::IsWindowVisible(ParentOf(bar)))
            ::SetForegroundWindow(::GetLastActivePopup(ParentOf(bar)));
        return 0;
    case WM_NCDESTROY:
        if (Follower *entry = FollowerOf(ParentOf(bar)); entry && entry->bar == bar)
            entry->bar = nullptr;
        ::DestroyMenu(MenuOf(bar));
        if (--liveBars == 0 && activationGuard)
            ::UnhookWindowsHookEx(std::exchange(activationGuard, nullptr));
        break;
    }
    return ::DefWindowProcW(bar, message, wParam, lParam);
}

bool IsBar(HWND window) {
    return window && ::GetClassLongPtrW(window, GCW_ATOM) == barClass;
}

// Keeps the strips of this thread from being activated or focused. Wine offers the activation
// to a strip when the window in front of it closes (it does not pass over windows that refuse
// activation, as desktop Windows does), and a button takes the focus when clicked; either way
// the keys typed next would be lost to the strip.
LRESULT CALLBACK GuardActivation(int code, WPARAM wParam, LPARAM lParam) {
    auto window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && IsBar(window)) {
        ::PostMessageW(window, HandOverActivation, 0, 0);
        return 1;
    }
    if (code == HCBT_SETFOCUS && IsBar(::GetAncestor(window, GA_ROOT)))
        return 1;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The bars' class, once per process. The guard is of the thread that shows them (the program
// has one user-interface thread).
bool PrepareMenuBars(HINSTANCE instance) {
    if (barClass)
        return true;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = MenuBarProc;
    windowClass.cbWndExtra = ExtraBytes;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = MenuBarClass;
    barClass = ::RegisterClassW(&windowClass);
    return barClass != 0;
}

} // namespace

BOOL SHCreateMenuBar(SHMENUBARINFO *info) {
    if (!info || !info->hwndParent)
        return FALSE;
    HINSTANCE instance = info->hInstRes;
    HRSRC resource =
        ::FindResourceW(instance, MAKEINTRESOURCEW(info->nToolBarId), MAKEINTRESOURCEW(10));
    DWORD size = resource ? ::SizeofResource(instance, resource) : 0;
    auto *words = static_cast<const WORD *>(::LockResource(::LoadResource(instance, resource)));
    if (!words || size < 2 * sizeof(WORD))
        return FALSE;
    WORD buttons = words[1];
    if (buttons > MaxButtons || size < (2 + buttons * 7) * sizeof(WORD) ||
        !PrepareMenuBars(instance))
        return FALSE;

    // A second bar for the same parent replaces the first as the one that follows it.
    Follower *entry = FollowerOf(info->hwndParent);
    if (!entry)
        entry = FollowerOf(nullptr);
    if (!entry)
        return FALSE;
    HWND bar = ::CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, MenuBarClass, L"",
                                 WS_POPUP | WS_CLIPCHILDREN, 0, 0, 0, MenuBarHeight,
                                 info->hwndParent, nullptr, instance, nullptr);
    if (!bar)
        return FALSE;
    HMENU menu = ::LoadMenuW(instance, MAKEINTRESOURCEW(words[0]));
    if (!menu) {
        ::DestroyWindow(bar);
        return FALSE;
    }
    ::SetWindowLongPtrW(bar, MenuSlot, reinterpret_cast<LONG_PTR>(menu));

    auto *button = reinterpret_cast<const ButtonWords *>(words + 2);
    HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    for (WORD i = 0; i < buttons; ++i) {
        wchar_t caption[64] = L"";
        ::LoadStringW(instance, button[i].caption, caption, std::size(caption));
        ::SetWindowLongPtrW(bar, PopupSlot + i * sizeof(LONG_PTR), button[i].popup);
        HWND child = ::CreateWindowExW(
            0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_FLAT, i * ButtonWidth,
            0, ButtonWidth, MenuBarHeight, bar, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(i)),
            instance, nullptr);
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    ::SetWindowLongPtrW(bar, ParentSlot, reinterpret_cast<LONG_PTR>(info->hwndParent));
    if (entry->parent != info->hwndParent) {
        entry->parent = info->hwndParent;
        entry->parentProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
            info->hwndParent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FollowParent)));
    }
    entry->bar = bar;
    PlaceUnderParent(bar, info->hwndParent, true);
    ::EnableWindow(bar, ::IsWindowEnabled(info->hwndParent));
    info->hwndMB = bar;
    return TRUE;
}

} // namespace plat
