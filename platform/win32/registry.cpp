// The registry.
#include "platform/registry.h"

namespace plat {

LONG RegOpenKeyExW(HKEY root, LPCWSTR subKey, DWORD options, REGSAM access, HKEY *key) {
    return ::RegOpenKeyExW(root, subKey, options, access, key);
}

LONG RegCreateKeyExW(HKEY root, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                     REGSAM access, SECURITY_ATTRIBUTES *security, HKEY *key, DWORD *disposition) {
    return ::RegCreateKeyExW(root, subKey, reserved, keyClass, options, access, security, key,
                             disposition);
}

LONG RegQueryValueExW(HKEY key, LPCWSTR name, DWORD *reserved, DWORD *type, BYTE *data,
                      DWORD *size) {
    return ::RegQueryValueExW(key, name, reserved, type, data, size);
}

LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE *data,
                    DWORD size) {
    return ::RegSetValueExW(key, name, reserved, type, data, size);
}

LONG RegDeleteValueW(HKEY key, LPCWSTR name) {
    return ::RegDeleteValueW(key, name);
}

LONG RegCloseKey(HKEY key) {
    return ::RegCloseKey(key);
}

} // namespace plat
