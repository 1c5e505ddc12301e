// The handheld shell's services: menu bar, activation, full-screen dialogs, folders, shortcuts.
#pragma once
#include "platform/platform.h"

// The handheld shell's records, which desktop headers do not have.
namespace plat {

// The menu bar's height: the main window leaves it free at its bottom.
constexpr int MenuBarHeight = 26;

struct SHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;
    HINSTANCE hInstRes;
    int nBmpId;
    int cBmpImages;
    HWND hwndMB;
    COLORREF clrBk;
};

struct SHACTIVATEINFO {
    DWORD cbSize;
    HWND hwndLastFocus;
    UINT fSipUp : 1;
    UINT fSipOnDeactivation : 1;
    UINT fActive : 1;
    UINT fReserved : 29;
};

struct SHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
};

constexpr DWORD SHIDIM_FLAGS = 0x0001;
constexpr DWORD SHIDIF_DONEBUTTON = 0x0001;
constexpr DWORD SHIDIF_SIZEDLGFULLSCREEN = 0x0004;
constexpr DWORD SHIDIF_SIPDOWN = 0x0008;

// A menu bar at the bottom of the parent window, read from the RCDATA resource nToolBarId.
BOOL SHCreateMenuBar(SHMENUBARINFO *info);
BOOL SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO *info,
                        DWORD flags);
BOOL SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO *info);
BOOL SHInitDialog(SHINITDLGINFO *info);
BOOL SHGetSpecialFolderPath(HWND owner, LPWSTR path, int folder, BOOL create);
// Writes a shortcut file at `shortcut` whose target is `target`: a quoted program path,
// optionally followed by arguments. Nonzero on success.
DWORD SHCreateShortcut(LPWSTR shortcut, LPWSTR target);

} // namespace plat
