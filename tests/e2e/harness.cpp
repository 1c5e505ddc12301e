#include "tests/e2e/harness.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace e2e {

std::wstring DevicePath(const char *unixPath) {
    std::wstring path = L"Z:" + std::wstring(unixPath, unixPath + std::strlen(unixPath));
    std::ranges::replace(path, L'/', L'\\');
    return path;
}

std::wstring ProgramPath() {
    return DevicePath(NUDGEBELL_PROGRAM);
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
    EXPECT_NE(info.hProcess, nullptr) << "cannot start " << std::string(line.begin(), line.end())
                                      << ": error " << ::GetLastError();
    ::CloseHandle(info.hThread);
    return Process(info.hProcess);
}

Process StartProgram(const std::wstring &arguments) {
    return Start(ProgramPath(), arguments);
}

DWORD Wait(Process &process, DWORD milliseconds) {
    DWORD code = STILL_ACTIVE;
    if (process && ::WaitForSingleObject(process.Get(), milliseconds) == WAIT_OBJECT_0 &&
        ::GetExitCodeProcess(process.Get(), &code))
        process.Reset();
    return code;
}

HWND WaitForProgramWindow(Process &program, DWORD milliseconds) {
    ::WaitForInputIdle(program.Get(), milliseconds);
    WaitUntil([] { return ::FindWindowW(ProgramClass, ProgramTitle); }, milliseconds);
    return ::FindWindowW(ProgramClass, ProgramTitle);
}

HWND WaitForOwnedWindow(HWND owner, const wchar_t *title) {
    HWND window = nullptr;
    WaitUntil([&] {
        while ((window = ::FindWindowExW(nullptr, window, nullptr, title)) != nullptr)
            if (::GetWindow(window, GW_OWNER) == owner && ::IsWindowVisible(window))
                return true;
        return false;
    });
    return window;
}

void EndAllCopies() {
    for (HWND window; (window = ::FindWindowW(ProgramClass, ProgramTitle)) != nullptr;) {
        DWORD id = 0;
        ::GetWindowThreadProcessId(window, &id);
        Process copy(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
        ::TerminateProcess(copy.Get(), 99);
        Wait(copy, 5000);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(window); }, 5000)) << "a copy stays";
    }
}

void WriteValue(const wchar_t *key, const wchar_t *name, const DWORD *value) {
    if (value)
        ::RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_DWORD, value, sizeof *value);
    else
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name);
}

std::optional<DWORD> ReadValue(const wchar_t *key, const wchar_t *name) {
    DWORD value = 0, size = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size))
        return std::nullopt;
    return value;
}

void WriteSetting(const wchar_t *name, DWORD value) {
    WriteValue(SettingsKey, name, &value);
}

void WriteSetting(const wchar_t *name, const std::wstring &text) {
    ::RegSetKeyValueW(HKEY_CURRENT_USER, SettingsKey, name, REG_SZ, text.c_str(),
                      DWORD(text.size() + 1) * sizeof(wchar_t));
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

fs::path OpenReminder(const std::wstring &options) {
    static int opened = 0;
    fs::path report = fs::temp_directory_path() / ("reminder" + std::to_string(++opened));
    fs::remove(report);
    Start(DevicePath(NUDGEBELL_TOOLS) + L"\\reminder.exe",
          options + L" /report:\"" + report.wstring() + L"\"");
    EXPECT_TRUE(WaitUntil([&] { return fs::exists(report); }));
    return report;
}

std::string Received(const fs::path &report) {
    std::ifstream in(report);
    std::string text{std::istreambuf_iterator<char>(in), {}};
    return text.substr(text.find('\n') + 1);
}

static fs::path SoundFolder() {
    const char *home = std::getenv("DEVICE_AUDIO_HOME");
    return home ? DevicePath(home) + L"\\sounds" : L"";
}

void StartAudioCapture() {
    ASSERT_FALSE(SoundFolder().empty()) << "DEVICE_AUDIO_HOME is not set: run it through ctest";
    fs::remove_all(SoundFolder());
    fs::create_directories(SoundFolder());
}

std::vector<CapturedSound> CapturedSounds() {
    return HeardSounds(SoundFolder());
}

double UnixMilliseconds() {
    using namespace std::chrono;
    return duration<double, std::milli>(system_clock::now().time_since_epoch()).count();
}

} // namespace e2e
