// The start-up shortcut that starts the program hidden and watching.
#pragma once
#include "app/app.h"

#include <span>
#include <string_view>

// The target text holds 260 characters besides its terminator; the path 259.
constexpr size_t TargetCapacity = PathCapacity + 1;

// Builds the shortcut's path into a buffer of 260 characters. A start-up folder too long for
// the buffer leaves the path empty and answers false: a cut-down path would name another file.
bool GetShortcutPath(wchar_t *path);
// The shortcut's path for the start-up folder `folder` ("\Windows\StartUp" when empty), and
// its target: the quoted `module` (which must be terminated), a space and "/AUTORUN". What does
// not fit leaves the buffer empty and answers false.
bool ShortcutPath(std::wstring_view folder, std::span<wchar_t, PathCapacity> path);
bool ShortcutTarget(std::span<const wchar_t, PathCapacity> module,
                    std::span<wchar_t, TargetCapacity> target);
enum class ShortcutChange { None, Create, Delete };
// What a read-back with the start-up box `ticked` does to the shortcut, given `autoRun`.
ShortcutChange AutoRunChange(DWORD autoRun, bool ticked);
// Creates or deletes the shortcut when the tick differs from Settings.AutoRun, then sets
// Settings.AutoRun to the tick.
void ApplyAutoRun(bool ticked);
