#include "tests/e2e/harness.h"

#include <vector>

namespace e2e {

std::wstring DevicePath(const char *unixPath) {
    std::wstring path = L"Z:";
    for (const char *c = unixPath; *c; ++c)
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
    return path;
}

std::wstring ProgramPath() {
    return DevicePath(NUDGEBELL_PROGRAM);
}

std::wstring ToolPath(const wchar_t *name) {
    return DevicePath(NUDGEBELL_TOOLS) + L"\\" + name;
}

Process Start(const std::wstring &program, const std::wstring &arguments) {
    std::wstring line = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // Under load Wine now and then refuses a start that succeeds a moment later.
    for (int attempt = 0; attempt < 3 && !info.hProcess; ++attempt)
        if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &info))
            ::Sleep(500);
    if (!info.hProcess)
        ADD_FAILURE() << "cannot start " << std::string(line.begin(), line.end()) << ": error "
                      << ::GetLastError();
    else
        ::CloseHandle(info.hThread);
    return Process{info.hProcess, info.dwProcessId};
}

Process StartProgram(const std::wstring &arguments) {
    return Start(ProgramPath(), arguments);
}

DWORD Wait(Process &process, DWORD milliseconds) {
    DWORD code = STILL_ACTIVE;
    if (process.handle && ::WaitForSingleObject(process.handle, milliseconds) == WAIT_OBJECT_0 &&
        ::GetExitCodeProcess(process.handle, &code))
        Close(process);
    return code;
}

void Close(Process &process) {
    if (process.handle)
        ::CloseHandle(process.handle);
    process = {};
}

HWND WaitForWindow(const wchar_t *className, const wchar_t *title, DWORD milliseconds) {
    WaitUntil([&] { return ::FindWindowW(className, title) != nullptr; }, milliseconds);
    return ::FindWindowW(className, title);
}

HWND ProgramWindow() {
    return ::FindWindowW(ProgramClass, ProgramTitle);
}

HWND WaitForProgramWindow(Process &program, DWORD milliseconds) {
    if (program.handle)
        ::WaitForInputIdle(program.handle, milliseconds);
    return WaitForWindow(ProgramClass, ProgramTitle, milliseconds);
}

HWND FindOwnedWindow(HWND owner, const wchar_t *title) {
    HWND window = nullptr;
    while ((window = ::FindWindowExW(nullptr, window, nullptr, title)) != nullptr)
        if (::GetWindow(window, GW_OWNER) == owner && ::IsWindowVisible(window))
            return window;
    return nullptr;
}

void EndAllCopies() {
    for (HWND window; (window = ProgramWindow()) != nullptr;) {
        DWORD id = 0;
        ::GetWindowThreadProcessId(window, &id);
        Process copy{::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id), id};
        ::TerminateProcess(copy.handle, 99);
        Wait(copy, 5000);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(window); }, 5000)) << "a copy stays";
    }
}

void DeleteSettings() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, SettingsKey);
}

void WriteValue(const wchar_t *key, const wchar_t *name, const DWORD *value) {
    if (value)
        ::RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_DWORD, value, sizeof *value);
    else
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name);
}

bool ReadValue(const wchar_t *key, const wchar_t *name, DWORD *value) {
    DWORD size = sizeof *value;
    return !::RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, value, &size);
}

void WriteSetting(const wchar_t *name, DWORD value) {
    WriteValue(SettingsKey, name, &value);
}

void WriteSetting(const wchar_t *name, const std::wstring &text) {
    ::RegSetKeyValueW(HKEY_CURRENT_USER, SettingsKey, name, REG_SZ, text.c_str(),
                      DWORD(text.size() + 1) * sizeof(wchar_t));
}

bool ReadSetting(const wchar_t *name, DWORD *value) {
    return ReadValue(SettingsKey, name, value);
}

void TypeKeys(std::initializer_list<WORD> down, WORD key) {
    std::vector<WORD> keys(down);
    keys.push_back(key);
    std::vector<INPUT> inputs;
    for (WORD k : keys) // pressed in order, released in reverse
        inputs.push_back({.type = INPUT_KEYBOARD, .ki = {k, 0, 0, 0, 0}});
    for (auto k = keys.rbegin(); k != keys.rend(); ++k)
        inputs.push_back({.type = INPUT_KEYBOARD, .ki = {*k, 0, KEYEVENTF_KEYUP, 0, 0}});
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

} // namespace e2e
