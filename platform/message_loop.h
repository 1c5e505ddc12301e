// The message loop's calls.
#pragma once
#include "platform/platform.h"

namespace plat {

BOOL GetMessageW(MSG *message, HWND window, UINT first, UINT last);
int TranslateAcceleratorW(HWND window, HACCEL table, MSG *message);
BOOL TranslateMessage(const MSG *message);
LRESULT DispatchMessageW(const MSG *message);

} // namespace plat
