// The simulated registry: keys by path, values by name, both without regard to letter case.
#include "platform/registry.h"
#include "tests/fake/log.h"

#include <algorithm>
#include <cstring>
#include <map>

using fake::device;
using fake::Log;

namespace {

std::map<HKEY, std::wstring> openKeys;
ULONG_PTR nextKey = 0x7000;

std::wstring PathOf(HKEY root, LPCWSTR subKey) {
    std::wstring base;
    if (root == HKEY_CURRENT_USER)
        base = L"HKCU";
    else if (root == HKEY_LOCAL_MACHINE)
        base = L"HKLM";
    else if (auto open = openKeys.find(root); open != openKeys.end())
        base = open->second;
    return fake::Lower(base + L"\\" + subKey);
}

bool Fails(const std::wstring &path) {
    auto &failing = device().failingKeys;
    return std::find(failing.begin(), failing.end(), path) != failing.end();
}

HKEY Open(const std::wstring &path) {
    HKEY key = reinterpret_cast<HKEY>(nextKey += 4);
    openKeys[key] = path;
    return key;
}

} // namespace

namespace plat {

LONG RegOpenKeyExW(HKEY root, LPCWSTR subKey, DWORD, REGSAM access, HKEY *key) {
    Log(L"RegOpenKeyExW", subKey, access);
    std::wstring path = PathOf(root, subKey);
    if (Fails(path))
        return ERROR_ACCESS_DENIED;
    if (!device().registry.count(path))
        return ERROR_FILE_NOT_FOUND;
    *key = Open(path);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExW(HKEY root, LPCWSTR subKey, DWORD, LPWSTR, DWORD options, REGSAM access,
                     SECURITY_ATTRIBUTES *, HKEY *key, DWORD *disposition) {
    Log(L"RegCreateKeyExW", subKey, options, access);
    std::wstring path = PathOf(root, subKey);
    if (Fails(path))
        return ERROR_ACCESS_DENIED;
    bool existed = device().registry.count(path) != 0;
    device().registry[path];
    if (disposition)
        *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    *key = Open(path);
    return ERROR_SUCCESS;
}

LONG RegQueryValueExW(HKEY key, LPCWSTR name, DWORD *, DWORD *type, BYTE *data, DWORD *size) {
    Log(L"RegQueryValueExW", name, size ? *size : 0);
    auto open = openKeys.find(key);
    if (open == openKeys.end())
        return ERROR_INVALID_HANDLE;
    auto &values = device().registry[open->second];
    auto value = values.find(fake::Lower(name));
    if (value == values.end())
        return ERROR_FILE_NOT_FOUND;
    const auto &stored = value->second.data;
    if (type)
        *type = value->second.type;
    if (!size)
        return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    DWORD room = *size;
    *size = static_cast<DWORD>(stored.size());
    if (!data)
        return ERROR_SUCCESS;
    if (room < stored.size())
        return ERROR_MORE_DATA;
    std::memcpy(data, stored.data(), stored.size());
    return ERROR_SUCCESS;
}

LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE *data, DWORD size) {
    Log(L"RegSetValueExW", name, type, size);
    auto open = openKeys.find(key);
    if (open == openKeys.end())
        return ERROR_INVALID_HANDLE;
    auto &failing = device().failingValues;
    if (std::find(failing.begin(), failing.end(), std::wstring(name)) != failing.end())
        return ERROR_ACCESS_DENIED;
    device().registry[open->second][fake::Lower(name)] =
        fake::RegistryValue{type, std::vector<BYTE>(data, data + size)};
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    Log(L"RegCloseKey");
    return openKeys.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

} // namespace plat
