// The simulated file system: a list of full paths, searched in the order it holds them.
#include "platform/files.h"
#include "tests/fake/log.h"

#include <algorithm>
#include <cwchar>

using fake::device;
using fake::Log;

namespace {

struct Search {
    std::wstring folder; // lower case, with the trailing backslash
    std::wstring suffix; // lower case: what follows the '*'
    size_t next = 0;
};
std::vector<Search> searches;

bool NextMatch(Search &search, WIN32_FIND_DATAW *found) {
    const auto &files = device().files;
    for (; search.next < files.size(); ++search.next) {
        std::wstring path = fake::Lower(files[search.next]);
        if (!path.starts_with(search.folder) || !path.ends_with(search.suffix))
            continue;
        std::wstring name = files[search.next].substr(search.folder.size());
        if (name.find(L'\\') != std::wstring::npos)
            continue;
        *found = WIN32_FIND_DATAW{};
        wcsncpy(found->cFileName, name.c_str(), MAX_PATH - 1);
        ++search.next;
        return true;
    }
    return false;
}

} // namespace

namespace plat {

// Patterns of the one form the program uses: a folder, then "*" and a suffix.
HANDLE FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW *found) {
    Log(L"FindFirstFileW", pattern);
    std::wstring text = fake::Lower(pattern);
    size_t star = text.rfind(L'*');
    if (star == std::wstring::npos)
        return INVALID_HANDLE_VALUE;
    searches.push_back(Search{text.substr(0, star), text.substr(star + 1)});
    if (!NextMatch(searches.back(), found)) {
        searches.pop_back();
        return INVALID_HANDLE_VALUE;
    }
    return reinterpret_cast<HANDLE>(searches.size());
}

BOOL FindNextFileW(HANDLE search, WIN32_FIND_DATAW *found) {
    Log(L"FindNextFileW");
    size_t index = reinterpret_cast<size_t>(search);
    return index && index <= searches.size() && NextMatch(searches[index - 1], found);
}

BOOL FindClose(HANDLE search) {
    Log(L"FindClose");
    size_t index = reinterpret_cast<size_t>(search);
    if (index == searches.size())
        searches.pop_back();
    return TRUE;
}

BOOL DeleteFileW(LPCWSTR path) {
    Log(L"DeleteFileW", path);
    return std::erase_if(device().files, [&](const std::wstring &file) {
               return fake::Lower(file) == fake::Lower(path);
           }) != 0;
}

} // namespace plat
