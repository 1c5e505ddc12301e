// The start-up shortcut that starts the program hidden and watching.
#pragma once
#include "platform/platform.h"

// Builds the shortcut's path into a buffer of 260 characters. A start-up folder too long for
// the buffer leaves the path empty and answers false: a cut-down path would name another file.
bool GetShortcutPath(wchar_t *path);
// Creates or deletes the shortcut when the tick differs from Settings.AutoRun, then sets
// Settings.AutoRun to the tick.
void ApplyAutoRun(bool ticked);
