// The handheld shell's activation, dialog and folder services, realized on the desktop.
#include "platform/shell.h"
#include "platform/win32/win32_internal.h"

#include <commctrl.h>
#include <shlobj.h>

// shlobj.h maps the name to its W form, which would define another function than the
// one declared in platform/shell.h.
#undef SHGetSpecialFolderPath

namespace plat {

namespace {

constexpr UINT_PTR DoneButtonId = 0x444E; // the subclass that turns the caption close into Done

LRESULT CALLBACK DoneButton(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                            DWORD_PTR) {
    switch (message) {
    case WM_SYSCOMMAND:
        // The caption button is the handheld's Done: it sends the dialog command 1.
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return 0;
        }
        break;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(dialog, DoneButton, DoneButtonId);
        break;
    }
    return ::DefSubclassProc(dialog, message, wParam, lParam);
}

bool IsWithin(HWND window, HWND child) {
    return child && (child == window || ::IsChild(window, child));
}

} // namespace

BOOL SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM, SHACTIVATEINFO *info, DWORD) {
    if (!info)
        return FALSE;
    // Like the handheld shell, give the focus back to where it was when the window returns.
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (IsWithin(window, focus))
            info->hwndLastFocus = focus;
        info->fActive = 0;
    } else {
        info->fActive = 1;
        // A click leaves the focus where it lands: a control takes it itself, and the caption
        // leaves it with the window, whose keyboard shortcuts then act.
        if (HIWORD(wParam)) // minimized
            return TRUE;
        if (LOWORD(wParam) == WA_CLICKACTIVE)
            ::SetFocus(window);
        else if (::IsWindow(info->hwndLastFocus) && IsWithin(window, info->hwndLastFocus))
            ::SetFocus(info->hwndLastFocus);
    }
    return TRUE;
}

BOOL SHHandleWMSettingChange(HWND, WPARAM, LPARAM, SHACTIVATEINFO *info) {
    // The handheld's shell resizes for its input panel here; a desktop has no input panel.
    return info != nullptr;
}

BOOL SHInitDialog(SHINITDLGINFO *info) {
    if (!info || !(info->dwMask & SHIDIM_FLAGS) || !::IsWindow(info->hDlg))
        return FALSE;
    HWND dialog = info->hDlg;
    if (info->dwFlags & SHIDIF_DONEBUTTON) {
        ::SetWindowLongPtrW(dialog, GWL_STYLE, ::GetWindowLongPtrW(dialog, GWL_STYLE) | WS_SYSMENU);
        // The caption gets its close button and, like the handheld's Done, no icon.
        ::SetWindowLongPtrW(dialog, GWL_EXSTYLE,
                            ::GetWindowLongPtrW(dialog, GWL_EXSTYLE) | WS_EX_DLGMODALFRAME);
        ::SetWindowSubclass(dialog, DoneButton, DoneButtonId, 0);
    }
    RECT area{};
    HWND owner = ::GetWindow(dialog, GW_OWNER);
    if (!(info->dwFlags & SHIDIF_SIZEDLGFULLSCREEN))
        ::GetWindowRect(dialog, &area);
    else if (owner)
        ::GetWindowRect(owner, &area); // the handheld's full screen is the main window's area
    else
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    ::SetWindowPos(dialog, nullptr, area.left, area.top, area.right - area.left,
                   area.bottom - area.top, SWP_NOZORDER | SWP_FRAMECHANGED);
    return TRUE;
}

BOOL SHGetSpecialFolderPath(HWND owner, LPWSTR path, int folder, BOOL create) {
    auto get = win32::LateBound<decltype(::SHGetSpecialFolderPathW)>(L"shell32.dll",
                                                                     "SHGetSpecialFolderPathW");
    return get ? get(owner, path, folder, create) : FALSE;
}

} // namespace plat
