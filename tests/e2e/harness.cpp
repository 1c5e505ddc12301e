#include "tests/e2e/harness.h"

#include <string_view>
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
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::vector<wchar_t> text(commandLine.begin(), commandLine.end());
    text.push_back(L'\0');
    // Under load Wine now and then refuses a start that succeeds a moment later; a start
    // refused three times is a failure.
    DWORD error = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (::CreateProcessW(program.c_str(), text.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &info))
            break;
        error = ::GetLastError();
        ::Sleep(500);
    }
    if (!info.hProcess) {
        ADD_FAILURE() << "cannot start " << std::string(program.begin(), program.end())
                      << ": error " << error;
        return {};
    }
    ::CloseHandle(info.hThread);
    return Process{info.hProcess, info.dwProcessId};
}

Process StartProgram(const std::wstring &arguments) {
    return Start(ProgramPath(), arguments);
}

DWORD Wait(Process &process, DWORD milliseconds) {
    if (!process.handle)
        return STILL_ACTIVE;
    if (::WaitForSingleObject(process.handle, milliseconds) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process.handle, &code);
    Close(process);
    return code;
}

void Close(Process &process) {
    if (process.handle)
        ::CloseHandle(process.handle);
    process = {};
}

HWND WaitForWindow(const wchar_t *className, const wchar_t *title, DWORD milliseconds) {
    HWND window = nullptr;
    WaitUntil([&] { return (window = ::FindWindowW(className, title)) != nullptr; }, milliseconds);
    return window;
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
    struct Search {
        HWND owner;
        const wchar_t *title;
        HWND found;
    } search{owner, title, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto *s = reinterpret_cast<Search *>(param);
            wchar_t text[100] = L"";
            ::GetWindowTextW(window, text, 100);
            if (::GetWindow(window, GW_OWNER) == s->owner && ::IsWindowVisible(window) &&
                std::wstring_view(text) == s->title) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void EndAllCopies() {
    for (int attempt = 0; attempt < 20; ++attempt) {
        HWND window = ProgramWindow();
        if (!window)
            return;
        DWORD id = 0;
        ::GetWindowThreadProcessId(window, &id);
        HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        if (process) {
            ::TerminateProcess(process, 99);
            ::WaitForSingleObject(process, 5000);
            ::CloseHandle(process);
        }
        WaitUntil([&] { return !::IsWindow(window); }, 2000);
    }
}

void DeleteSettings() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, SettingsKey);
}

static void WriteValue(const wchar_t *name, DWORD type, const void *data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key, name, 0, type, static_cast<const BYTE *>(data), size);
    ::RegCloseKey(key);
}

void WriteSetting(const wchar_t *name, DWORD value) {
    WriteValue(name, REG_DWORD, &value, sizeof value);
}

void WriteSetting(const wchar_t *name, const std::wstring &text) {
    WriteValue(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * 2));
}

bool ReadSetting(const wchar_t *name, DWORD *value) {
    DWORD size = sizeof *value;
    return ::RegGetValueW(HKEY_CURRENT_USER, SettingsKey, name, RRF_RT_REG_DWORD, nullptr, value,
                          &size) == ERROR_SUCCESS;
}

void TypeKeys(std::initializer_list<WORD> down, WORD key) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD vk, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    for (WORD modifier : down)
        add(modifier, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    for (auto m = down.end(); m != down.begin();)
        add(*--m, KEYEVENTF_KEYUP);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void ProgramTest::SetUp() {
    EndAllCopies();
    DeleteSettings();
}

void ProgramTest::TearDown() {
    EndAllCopies();
}

} // namespace e2e
