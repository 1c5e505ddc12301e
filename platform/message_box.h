// Message boxes.
#pragma once
#include "platform/platform.h"

namespace plat {

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style);

} // namespace plat
