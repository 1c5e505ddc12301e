// The handheld's sound folder found where desktop Windows keeps its sounds, and files.
#include "platform/files.h"
#include "platform/win32/win32_internal.h"

#include <cwchar>
#include <iterator>
#include <string_view>

namespace plat {

namespace win32 {

bool MediaPath(std::wstring_view name, wchar_t (&path)[MAX_PATH]) {
    constexpr std::wstring_view media = L"\\Media\\";
    UINT length = ::GetWindowsDirectoryW(path, MAX_PATH);
    if (length == 0 || length + media.size() + name.size() >= MAX_PATH)
        return false;
    std::wmemcpy(path + length, media.data(), media.size());
    std::wmemcpy(path + length + media.size(), name.data(), name.size());
    path[length + media.size() + name.size()] = L'\0';
    return true;
}

} // namespace win32

namespace {

constexpr std::wstring_view DeviceWindowsFolder = L"\\Windows\\";

bool IsDeviceSoundPath(std::wstring_view path) {
    return path.size() > DeviceWindowsFolder.size() + 4 &&
           ::_wcsnicmp(path.data(), DeviceWindowsFolder.data(), DeviceWindowsFolder.size()) == 0 &&
           ::_wcsicmp(path.data() + path.size() - 4, L".wav") == 0 &&
           path.find(L'\\', DeviceWindowsFolder.size()) == std::wstring_view::npos;
}

// The handheld keeps its sounds in "\Windows"; desktop Windows keeps them in its media folder.
LPCWSTR DesktopPath(LPCWSTR path, wchar_t (&buffer)[MAX_PATH]) {
    if (!path || !IsDeviceSoundPath(path) ||
        !win32::MediaPath(path + DeviceWindowsFolder.size(), buffer))
        return path;
    return buffer;
}

} // namespace

HANDLE FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW *found) {
    wchar_t buffer[MAX_PATH];
    return ::FindFirstFileW(DesktopPath(pattern, buffer), found);
}

BOOL FindNextFileW(HANDLE search, WIN32_FIND_DATAW *found) {
    return ::FindNextFileW(search, found);
}

BOOL FindClose(HANDLE search) {
    return ::FindClose(search);
}

BOOL DeleteFileW(LPCWSTR path) {
    return ::DeleteFileW(path);
}

} // namespace plat
