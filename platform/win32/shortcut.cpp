// The handheld's shortcut file, realized as a desktop shell link.
#include "platform/shell.h"

#include <objbase.h>
#include <shlobj.h>

#include <string>

namespace plat {

namespace {

struct Command {
    std::wstring program;
    std::wstring arguments;
};

// The handheld's target text: a quoted program path, then optional arguments. Unquoted text
// is a program path of its own, spaces included.
Command SplitTarget(const wchar_t *target) {
    std::wstring text = target ? target : L"";
    if (text.empty() || text[0] != L'"')
        return Command{text, L""};
    size_t close = text.find(L'"', 1);
    if (close == std::wstring::npos)
        return Command{text.substr(1), L""};
    size_t rest = text.find_first_not_of(L' ', close + 1);
    return Command{text.substr(1, close - 1), rest == std::wstring::npos ? L"" : text.substr(rest)};
}

template <typename Interface> void Release(Interface *&object) {
    if (object)
        object->Release();
    object = nullptr;
}

HRESULT SaveLink(const wchar_t *shortcut, const Command &command) {
    IShellLinkW *link = nullptr;
    HRESULT result = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                        __uuidof(IShellLinkW), reinterpret_cast<void **>(&link));
    if (FAILED(result))
        return result;
    result = link->SetPath(command.program.c_str());
    if (SUCCEEDED(result))
        result = link->SetArguments(command.arguments.c_str());
    // Started from its own folder, as when the user starts it from there.
    size_t slash = command.program.find_last_of(L"\\/");
    if (SUCCEEDED(result) && slash != std::wstring::npos)
        link->SetWorkingDirectory(command.program.substr(0, slash).c_str());
    IPersistFile *file = nullptr;
    if (SUCCEEDED(result))
        result = link->QueryInterface(__uuidof(IPersistFile), reinterpret_cast<void **>(&file));
    if (SUCCEEDED(result))
        result = file->Save(shortcut, TRUE);
    Release(file);
    Release(link);
    return result;
}

} // namespace

DWORD SHCreateShortcut(LPWSTR shortcut, LPWSTR target) {
    if (!shortcut || !*shortcut)
        return 0;
    Command command = SplitTarget(target);
    if (command.program.empty())
        return 0;
    // The program's thread may already have COM; then it is left as it was.
    HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HRESULT saved = SaveLink(shortcut, command);
    if (SUCCEEDED(com))
        ::CoUninitialize();
    return SUCCEEDED(saved) ? 1 : 0;
}

} // namespace plat
