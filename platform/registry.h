// The registry.
#pragma once
#include "platform/platform.h"
#include "platform/scoped.h"

namespace plat {

LONG RegOpenKeyExW(HKEY root, LPCWSTR subKey, DWORD options, REGSAM access, HKEY *key);
LONG RegCreateKeyExW(HKEY root, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                     REGSAM access, SECURITY_ATTRIBUTES *security, HKEY *key, DWORD *disposition);
LONG RegQueryValueExW(HKEY key, LPCWSTR name, DWORD *reserved, DWORD *type, BYTE *data,
                      DWORD *size);
LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE *data,
                    DWORD size);
LONG RegDeleteValueW(HKEY key, LPCWSTR name);
LONG RegCloseKey(HKEY key);

// An open key, closed when its holder goes.
using ScopedKey = Scoped<HKEY, RegCloseKey>;

} // namespace plat
