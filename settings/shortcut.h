// The start-up shortcut that starts the program hidden and watching.
#pragma once
#include "common/process.h"

#include <span>
#include <string_view>

// The target text holds 260 characters besides its terminator; the path 259.
constexpr size_t TargetCapacity = PathCapacity + 1;

// What the user is told when the shortcut could not be made, or its path not even built.
constexpr wchar_t ShortcutFailure[] = L"SHCreateShortcut() failed";

// Builds the shortcut's path into a buffer of 260 characters. A start-up folder that the system
// cannot name, or too long for the buffer, leaves the path empty and answers false: a cut-down
// or made-up path would name another file.
bool GetShortcutPath(wchar_t *path);
// The shortcut's path for the start-up folder `folder` (none when empty), and its target: the
// quoted `module` (which must be terminated), a space and "/AUTORUN". What does not fit leaves
// the buffer empty and answers false.
bool ShortcutPath(std::wstring_view folder, std::span<wchar_t, PathCapacity> path);
bool ShortcutTarget(std::span<const wchar_t, PathCapacity> module,
                    std::span<wchar_t, TargetCapacity> target);
enum class ShortcutChange { None, Create, Delete };
// What a read-back with the start-up box `ticked` does to the shortcut, given `autoRun`.
ShortcutChange AutoRunChange(DWORD autoRun, bool ticked);
// Creates or deletes the shortcut when the tick differs from Settings.AutoRun, and sets
// Settings.AutoRun to the tick when that succeeded, so that it says what is on disk. False when
// the user is to be told ShortcutFailure: a create failed, or the path could not be built.
bool ApplyAutoRun(bool ticked);
