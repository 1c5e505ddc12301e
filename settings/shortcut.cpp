// The start-up shortcut: a file in the start-up folder that starts the program with
// "/AUTORUN". Settings.AutoRun is the only record of it, so it changes only when the file did:
// a create or delete that failed is tried again by the next "Run" or "Exit". Without a start-up
// folder the system can name there is no shortcut path at all: another folder would hold
// another file, which a delete would not find and count as done.
#include "settings/shortcut.h"
#include "common/process.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "settings/settings.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr int StartupFolderId = 7; // CSIDL_STARTUP
constexpr wchar_t ShortcutFile[] = L"\\Nudgebell+.lnk";
constexpr wchar_t AutorunSwitch[] = L" /AUTORUN";

// A path or target that does not fit is a failed create, never a cut-down one.
bool CreateShortcut() {
    PathBuffer path;
    std::array<wchar_t, TargetCapacity> target;
    return GetShortcutPath(path.data()) && ShortcutTarget(ModulePath, target) &&
           plat::SHCreateShortcut(path.data(), target.data());
}

// A missing file, or a missing start-up folder, is as good as a deleted one.
bool DeleteShortcut(const wchar_t *path) {
    if (plat::DeleteFileW(path))
        return true;
    DWORD error = plat::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

} // namespace

bool ShortcutPath(std::wstring_view folder, std::span<wchar_t, PathCapacity> path) {
    path[0] = L'\0';
    if (!folder.empty() && plat::Append(path, folder) && plat::Append(path, ShortcutFile))
        return true;
    path[0] = L'\0';
    return false;
}

bool ShortcutTarget(std::span<const wchar_t, PathCapacity> module,
                    std::span<wchar_t, TargetCapacity> target) {
    target[0] = L'\0';
    if (std::find(module.begin(), module.end(), L'\0') == module.end())
        return false; // no terminator: the path was cut
    if (plat::Append(target, L"\"") && plat::Append(target, module.data()) &&
        plat::Append(target, L"\"") && plat::Append(target, AutorunSwitch))
        return true;
    target[0] = L'\0';
    return false;
}

ShortcutChange AutoRunChange(DWORD autoRun, bool ticked) {
    if (autoRun && !ticked)
        return ShortcutChange::Delete;
    if (!autoRun && ticked)
        return ShortcutChange::Create;
    return ShortcutChange::None;
}

bool GetShortcutPath(wchar_t *path) {
    PathBuffer folder{};
    if (!plat::SHGetSpecialFolderPath(MainWindow, folder.data(), StartupFolderId, FALSE))
        folder[0] = L'\0';
    folder.back() = L'\0';
    return ShortcutPath(folder.data(), std::span<wchar_t, PathCapacity>(path, PathCapacity));
}

bool ApplyAutoRun(bool ticked) {
    PathBuffer path;
    bool changed = true, told = false;
    switch (AutoRunChange(Settings.AutoRun, ticked)) {
    case ShortcutChange::Create:
        changed = CreateShortcut();
        told = !changed;
        break;
    case ShortcutChange::Delete:
        // A refused delete is silent: the tick the panel shows next time tells it.
        told = !GetShortcutPath(path.data());
        changed = !told && DeleteShortcut(path.data());
        break;
    case ShortcutChange::None:
        break;
    }
    if (changed)
        Settings.AutoRun = ticked ? 1 : 0;
    return !told;
}
