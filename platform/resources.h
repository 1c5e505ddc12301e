// Strings, icons, accelerators and templates of the program's resource script.
#pragma once
#include "platform/platform.h"

namespace plat {

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int capacity);
HICON LoadIconW(HINSTANCE instance, LPCWSTR name);
HACCEL LoadAcceleratorsW(HINSTANCE instance, LPCWSTR name);
HGDIOBJ GetStockObject(int object);
HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
DWORD SizeofResource(HMODULE module, HRSRC resource);

} // namespace plat
