// The handheld's services as realized on the desktop, run on the device: scheduled starts,
// keys posted to another program's focus window, and the desktop's sound names.
#include "platform/clock.h"
#include "platform/keyboard.h"
#include "platform/win32/win32_internal.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::wstring DevicePath(const char *unixPath) {
    std::wstring path = L"Z:";
    for (const char *c = unixPath; *c; ++c)
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    return path;
}

LONGLONG Milliseconds(const SYSTEMTIME &time) {
    FILETIME file{};
    ::SystemTimeToFileTime(&time, &file);
    return static_cast<LONGLONG>((ULONGLONG{file.dwHighDateTime} << 32 | file.dwLowDateTime) /
                                 10000);
}

SYSTEMTIME LocalTime(LONGLONG milliseconds) {
    ULONGLONG ticks = static_cast<ULONGLONG>(milliseconds) * 10000;
    FILETIME file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME time{};
    ::FileTimeToSystemTime(&file, &time);
    return time;
}

LONGLONG Now() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return Milliseconds(now);
}

struct Start {
    LONGLONG at;
    std::string commandLine;
};

// What a wake probe under `path` logged: one line per start, its local time and command line.
std::vector<Start> Starts(const std::wstring &path) {
    std::vector<Start> starts;
    FILE *log = _wfopen((path + L".log").c_str(), L"r");
    char line[1024];
    while (log && fgets(line, sizeof line, log)) {
        SYSTEMTIME t{};
        int used = 0;
        if (sscanf(line, "%hu-%hu-%hu %hu:%hu:%hu.%hu|%n", &t.wYear, &t.wMonth, &t.wDay, &t.wHour,
                   &t.wMinute, &t.wSecond, &t.wMilliseconds, &used) == 7)
            starts.push_back({Milliseconds(t), line + used});
    }
    if (log)
        fclose(log);
    return starts;
}

TEST(PlatformRun, EachProgramHasOnePendingStartWhichTheLastRegistrationSets) {
    const std::wstring first = DevicePath(NUDGEBELL_WAKE_PROBE);
    const std::wstring second = first.substr(0, first.size() - 4) + L"_2.exe";
    ASSERT_TRUE(::CopyFileW(first.c_str(), second.c_str(), FALSE));
    std::wstring upper = first;
    for (wchar_t &c : upper)
        c = static_cast<wchar_t>(towupper(c));
    for (const std::wstring *probe : {&first, &second})
        ::DeleteFileW((*probe + L".log").c_str());

    // 40 times 3 to 5 s ahead in a shuffled order; the last is neither the earliest nor the
    // latest. Every other one names the program in capitals.
    const LONGLONG now = Now();
    LONGLONG last = 0, latest = 0;
    int refused = 0;
    for (int i = 0; i < 40; ++i) {
        last = now + 3000 + (i * 23 % 40) * 50;
        latest = std::max(latest, last);
        SYSTEMTIME when = LocalTime(last);
        refused += !plat::CeRunAppAtTime((i % 2 ? upper : first).c_str(), &when);
    }
    const LONGLONG secondAt = now + 3500;
    SYSTEMTIME when = LocalTime(secondAt);
    refused += !plat::CeRunAppAtTime(second.c_str(), &when);
    EXPECT_EQ(refused, 0);
    EXPECT_FALSE(plat::CeRunAppAtTime(L"Z:\\no\\such\\program.exe", &when));

    // Quiet until 2 s after the latest time asked: any start left over would come by then.
    while (Now() < latest + 2000)
        ::Sleep(100);
    struct Expected {
        const std::wstring &probe;
        LONGLONG at;
    };
    for (const Expected &e : {Expected{first, last}, Expected{second, secondAt}}) {
        std::vector<Start> starts = Starts(e.probe);
        EXPECT_EQ(starts.size(), 1u) << std::string(e.probe.begin(), e.probe.end());
        if (starts.empty())
            continue;
        EXPECT_GE(starts[0].at - e.at, 0) << "started before the time asked";
        EXPECT_LE(starts[0].at - e.at, 1500) << "started late";
        EXPECT_NE(starts[0].commandLine.find("AppRunAtTime"), std::string::npos)
            << starts[0].commandLine;
    }
    ::DeleteFileW(second.c_str());
}

// What the snooze keys rely on: each key reaches the focus window of whichever program is in
// front, its own translation gives Enter its character, and no key stays held.
TEST(PlatformRun, PostedKeysReachTheFocusWindowOfAnotherProgramAndHoldNoKey) {
    const std::wstring probe = DevicePath(NUDGEBELL_KEY_PROBE);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + probe + L"\"";
    ASSERT_TRUE(::CreateProcessW(probe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                 nullptr, nullptr, &startup, &info));
    ::CloseHandle(info.hThread);
    HWND window = nullptr;
    auto waitFor = [&](auto predicate) {
        for (DWORD start = ::GetTickCount(); !predicate() && ::GetTickCount() - start < 10000;)
            ::Sleep(20);
        return predicate();
    };
    ASSERT_TRUE(waitFor([&] {
        window = ::FindWindowW(L"NudgebellKeyProbe", L"ready");
        return window && ::GetForegroundWindow() == window;
    }));

    for (UINT key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_UP, VK_DOWN, VK_RETURN}) {
        UINT shiftState = 0x80, character = key;
        EXPECT_TRUE(plat::PostKeybdMessage(reinterpret_cast<HWND>(-1), key, 0x80, 1, &shiftState,
                                           &character));
    }
    const std::wstring expected = L"D40 D40 D40 D38 D40 D13 C13";
    wchar_t title[100] = L"";
    EXPECT_TRUE(waitFor([&] {
        ::GetWindowTextW(window, title, 100);
        return expected == title;
    })) << std::string(title, title + wcslen(title));
    for (int key : {VK_DOWN, VK_UP, VK_RETURN})
        EXPECT_GE(::GetAsyncKeyState(key), 0) << "key " << key << " held";
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(info.hProcess, 10000), WAIT_OBJECT_0);
    ::CloseHandle(info.hProcess);
}

TEST(PlatformRun, HandheldSoundNamesPlayTheMediaFolderAndNetworkPathsNever) {
    wchar_t windows[MAX_PATH] = L"";
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring media = std::wstring(windows) + L"\\Media\\";
    const std::pair<const wchar_t *, std::wstring> cases[] = {
        {L"Alarm1", media + L"Alarm1.wav"},
        {L"\\Windows\\Alarm1.wav", media + L"Alarm1.wav"},
        {L"Chimes.wav", media + L"Chimes.wav"},
        {L"NoSuchSound", L"NoSuchSound"}, // the system's default sound
        {L"C:\\sounds\\own.wav", L"C:\\sounds\\own.wav"},
        {L"\\\\host\\share\\x.wav", L"SystemDefault"},
        {L"//host/share/Alarm1", L"SystemDefault"},
    };
    for (const auto &[sound, plays] : cases) {
        wchar_t path[MAX_PATH];
        EXPECT_EQ(std::wstring(plat::win32::DesktopSoundName(sound, path)), plays);
    }
}

} // namespace
