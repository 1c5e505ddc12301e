// The start-up shortcut: a file in the start-up folder that starts the program with
// "/AUTORUN". Settings.AutoRun is the only record of it; the file itself is never looked at.
#include "settings/shortcut.h"
#include "app/app.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/shell.h"
#include "settings/settings.h"

#include <algorithm>
#include <cwchar>

namespace {

constexpr int StartupFolderId = 7; // CSIDL_STARTUP
constexpr wchar_t FallbackStartupFolder[] = L"\\Windows\\StartUp";
constexpr wchar_t ShortcutFile[] = L"\\Nudgebell+.lnk";
constexpr wchar_t AutorunSwitch[] = L" /AUTORUN";

// The target text holds 260 characters besides its terminator; the path 259.
constexpr size_t TargetCapacity = PathCapacity + 1;

// Appends `text` to the terminated `buffer` of `capacity` characters when all of it fits.
bool Append(wchar_t *buffer, size_t capacity, const wchar_t *text) {
    size_t used = std::wcslen(buffer);
    size_t added = std::wcslen(text);
    if (used + added >= capacity)
        return false;
    std::wmemcpy(buffer + used, text, added + 1);
    return true;
}

// The quoted program path, a space and "/AUTORUN"; false when that does not fit.
bool BuildTarget(wchar_t *target) {
    target[0] = L'\0';
    if (std::find(ModulePath.begin(), ModulePath.end(), L'\0') == ModulePath.end())
        return false; // no terminator: the path was cut
    return Append(target, TargetCapacity, L"\"") &&
           Append(target, TargetCapacity, ModulePath.data()) &&
           Append(target, TargetCapacity, L"\"") && Append(target, TargetCapacity, AutorunSwitch);
}

void CreateShortcut() {
    wchar_t path[PathCapacity];
    wchar_t target[TargetCapacity];
    // A path or target that does not fit is a failed create, never a cut-down one.
    bool made =
        GetShortcutPath(path) && BuildTarget(target) && plat::SHCreateShortcut(path, target);
    if (!made)
        plat::MessageBoxW(MainWindow, L"SHCreateShortcut() failed", L"Nudgebell+", MB_ICONHAND);
}

void DeleteShortcut() {
    wchar_t path[PathCapacity];
    if (GetShortcutPath(path))
        plat::DeleteFileW(path); // a missing file is as good as a deleted one
}

} // namespace

bool GetShortcutPath(wchar_t *path) {
    path[0] = L'\0';
    plat::SHGetSpecialFolderPath(MainWindow, path, StartupFolderId, FALSE);
    path[PathCapacity - 1] = L'\0';
    if (path[0] == L'\0')
        std::wcscpy(path, FallbackStartupFolder);
    if (!Append(path, PathCapacity, ShortcutFile)) {
        path[0] = L'\0';
        return false;
    }
    return true;
}

void ApplyAutoRun(bool ticked) {
    if (Settings.AutoRun && !ticked)
        DeleteShortcut();
    else if (!Settings.AutoRun && ticked)
        CreateShortcut();
    Settings.AutoRun = ticked ? 1 : 0;
}
