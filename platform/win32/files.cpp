// The handheld's sound folder found where desktop Windows keeps its sounds, and files.
#include "platform/files.h"
#include "platform/text.h"
#include "platform/win32/win32_internal.h"

#include <string_view>

namespace plat {

namespace win32 {

bool MediaPath(std::wstring_view name, wchar_t (&path)[MAX_PATH]) {
    UINT length = ::GetWindowsDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || !Append(path, L"\\Media\\") || !Append(path, name)) {
        path[0] = L'\0';
        return false;
    }
    return true;
}

} // namespace win32

namespace {

// The handheld keeps its sounds in "\Windows"; desktop Windows keeps them in its media folder.
LPCWSTR DesktopPath(LPCWSTR path, wchar_t (&buffer)[MAX_PATH]) {
    wchar_t file[MAX_PATH];
    if (!path || !MediaFileName(path, false, file) || !win32::MediaPath(file, buffer))
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
