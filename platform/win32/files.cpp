#include "platform/files.h"

#include <cwchar>
#include <iterator>
#include <string>
#include <string_view>

namespace plat {

namespace {

constexpr wchar_t DeviceWindowsFolder[] = L"\\Windows\\";

bool EndsWithWav(std::wstring_view path) {
    return path.size() >= 4 && ::_wcsicmp(path.data() + path.size() - 4, L".wav") == 0;
}

// The handheld keeps its sounds in "\Windows"; desktop Windows keeps them in its media folder.
std::wstring DesktopPath(LPCWSTR path) {
    std::wstring_view text = path ? path : L"";
    constexpr size_t prefix = std::size(DeviceWindowsFolder) - 1;
    if (text.size() <= prefix || ::_wcsnicmp(text.data(), DeviceWindowsFolder, prefix) != 0 ||
        !EndsWithWav(text) || text.find(L'\\', prefix) != std::wstring_view::npos)
        return std::wstring(text);
    wchar_t root[MAX_PATH] = L"";
    UINT length = ::GetWindowsDirectoryW(root, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring(text);
    return std::wstring(root) + L"\\Media\\" + std::wstring(text.substr(prefix));
}

} // namespace

HANDLE FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW *found) {
    return ::FindFirstFileW(DesktopPath(pattern).c_str(), found);
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
