// The start-up shortcut that starts the program hidden and watching.
#pragma once
#include "platform/platform.h"

void GetShortcutPath(wchar_t *path); // a buffer of 260 characters
void ApplyAutoRun(bool ticked);
