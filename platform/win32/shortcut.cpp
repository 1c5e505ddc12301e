// The handheld's shortcut file, realized as a desktop shell link.
#include "platform/shell.h"
#include "platform/win32/win32_internal.h"

#include <objbase.h>
#include <shlobj.h>

#include <cwchar>

namespace plat {

namespace {

// The handheld's target text: a quoted program path, then optional arguments. Unquoted text
// is a program path of its own, spaces included. Both parts fit, as the target does.
struct Command {
    wchar_t program[MAX_PATH + 2] = L"";
    wchar_t arguments[MAX_PATH + 2] = L"";
};

bool SplitTarget(const wchar_t *target, Command &command) {
    if (!target || std::wcslen(target) > MAX_PATH + 1)
        return false;
    const wchar_t *program = target;
    const wchar_t *end = target + std::wcslen(target);
    const wchar_t *arguments = end;
    if (*target == L'"') {
        program = target + 1;
        const wchar_t *close = std::wcschr(program, L'"');
        if (close) {
            end = close;
            arguments = close + 1 + std::wcsspn(close + 1, L" ");
        }
    }
    std::wmemcpy(command.program, program, end - program);
    command.program[end - program] = L'\0';
    std::wcscpy(command.arguments, arguments);
    return command.program[0] != L'\0';
}

template <typename Interface> void Release(Interface *&object) {
    if (object)
        object->Release();
    object = nullptr;
}

HRESULT SaveLink(const wchar_t *shortcut, const Command &command) {
    IShellLinkW *link = nullptr;
    auto create = win32::LateBound<decltype(::CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
    if (!create)
        return E_NOTIMPL;
    HRESULT result = create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellLinkW),
                            reinterpret_cast<void **>(&link));
    if (FAILED(result))
        return result;
    result = link->SetPath(command.program);
    if (SUCCEEDED(result))
        result = link->SetArguments(command.arguments);
    // Started from its own folder, as when the user starts it from there.
    wchar_t folder[MAX_PATH + 2];
    std::wcscpy(folder, command.program);
    if (wchar_t *slash = std::wcsrchr(folder, L'\\'); SUCCEEDED(result) && slash) {
        *slash = L'\0';
        link->SetWorkingDirectory(folder);
    }
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
    Command command;
    if (!SplitTarget(target, command))
        return 0;
    // The program's thread may already have COM; then it is left as it was.
    auto initialize = win32::LateBound<decltype(::CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
    auto uninitialize =
        win32::LateBound<decltype(::CoUninitialize)>(L"ole32.dll", "CoUninitialize");
    if (!initialize || !uninitialize)
        return 0;
    HRESULT com = initialize(nullptr, COINIT_APARTMENTTHREADED);
    HRESULT saved = SaveLink(shortcut, command);
    if (SUCCEEDED(com))
        uninitialize();
    return SUCCEEDED(saved) ? 1 : 0;
}

} // namespace plat
