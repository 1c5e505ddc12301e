// The handheld's shortcut file, realized as a desktop shell link.
#include "platform/shell.h"
#include "platform/text.h"
#include "platform/win32/win32_internal.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <string_view>

namespace plat {

namespace {

// The handheld's target text: a quoted program path, then optional arguments. Unquoted text
// is a program path of its own, spaces included. A part that does not fit refuses the target.
struct Command {
    wchar_t program[MAX_PATH + 2] = L"";
    wchar_t arguments[MAX_PATH + 2] = L"";
};

bool SplitTarget(const wchar_t *target, Command &command) {
    if (!target)
        return false;
    std::wstring_view program = target, arguments;
    if (program.starts_with(L'"')) {
        program.remove_prefix(1);
        if (size_t close = program.find(L'"'); close != std::wstring_view::npos) {
            // Cut by hand: substr() could throw, which would bring the runtime's error
            // formatting into the program.
            arguments = {program.data() + close + 1, program.size() - close - 1};
            arguments.remove_prefix(std::min(arguments.find_first_not_of(L' '), arguments.size()));
            program = {program.data(), close};
        }
    }
    return !program.empty() && Copy(command.program, program) && Copy(command.arguments, arguments);
}

HRESULT SaveLink(const wchar_t *shortcut, const Command &command) {
    ScopedObject<IShellLinkW> link;
    auto create = win32::LateBound<decltype(::CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
    if (!create)
        return E_NOTIMPL;
    HRESULT result = create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellLinkW),
                            reinterpret_cast<void **>(link.Receive()));
    if (FAILED(result))
        return result;
    result = link.Get()->SetPath(command.program);
    if (SUCCEEDED(result))
        result = link.Get()->SetArguments(command.arguments);
    // Started from its own folder, as when the user starts it from there.
    std::wstring_view program = command.program;
    wchar_t folder[MAX_PATH + 2];
    if (size_t slash = program.rfind(L'\\');
        SUCCEEDED(result) && slash != program.npos && Copy(folder, {program.data(), slash}))
        link.Get()->SetWorkingDirectory(folder);
    ScopedObject<IPersistFile> file;
    if (SUCCEEDED(result))
        result = link.Get()->QueryInterface(__uuidof(IPersistFile),
                                            reinterpret_cast<void **>(file.Receive()));
    if (SUCCEEDED(result))
        result = file.Get()->Save(shortcut, TRUE);
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
