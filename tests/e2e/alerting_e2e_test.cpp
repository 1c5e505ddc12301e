// The handheld's scheduled start and key posting as realized on the desktop, on the device.
#include "platform/clock.h"
#include "platform/keyboard.h"
#include "platform/win32/win32_internal.h"
#include "tests/e2e/harness.h"

#include <cstdio>

namespace {

using namespace e2e;

std::wstring WakeProbeLog() {
    return DevicePath(NUDGEBELL_WAKE_PROBE) + L".log";
}

uint64_t Milliseconds(const SYSTEMTIME &time) {
    FILETIME file{};
    ::SystemTimeToFileTime(&time, &file);
    return ((uint64_t(file.dwHighDateTime) << 32) | file.dwLowDateTime) / 10000;
}

SYSTEMTIME LocalTimeIn(int milliseconds) {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    uint64_t ticks = (Milliseconds(now) + milliseconds) * 10000;
    FILETIME file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME later{};
    ::FileTimeToSystemTime(&file, &later);
    later.wMilliseconds = 0; // as the wake-up scheduling asks: whole seconds
    return later;
}

struct ProbeStart {
    SYSTEMTIME at{};
    std::string commandLine;
};

// The starts that the wake probe has recorded so far.
std::vector<ProbeStart> ProbeStarts() {
    std::vector<ProbeStart> starts;
    FILE *log = _wfopen(WakeProbeLog().c_str(), L"r");
    if (!log)
        return starts;
    char line[1024];
    while (fgets(line, sizeof line, log)) {
        ProbeStart start;
        unsigned y, mo, d, h, mi, s, ms;
        int used = 0;
        if (sscanf(line, "%u-%u-%u %u:%u:%u.%u|%n", &y, &mo, &d, &h, &mi, &s, &ms, &used) != 7)
            continue;
        start.at = SYSTEMTIME{WORD(y), WORD(mo), 0, WORD(d), WORD(h), WORD(mi), WORD(s), WORD(ms)};
        start.commandLine = line + used;
        starts.push_back(start);
    }
    fclose(log);
    return starts;
}

class AlertingE2E : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ::DeleteFileW(WakeProbeLog().c_str());
    }
};

TEST_F(AlertingE2E, RegisteredStartRunsTheProgramWithAppRunAtTimeAtTheTimeAsked) {
    const std::wstring probe = DevicePath(NUDGEBELL_WAKE_PROBE);
    SYSTEMTIME soon = LocalTimeIn(3000);
    SYSTEMTIME later = LocalTimeIn(5000);
    ASSERT_TRUE(plat::CeRunAppAtTime(probe.c_str(), &later));
    ASSERT_TRUE(plat::CeRunAppAtTime(probe.c_str(), &soon));
    EXPECT_FALSE(plat::CeRunAppAtTime(L"Z:\\no\\such\\program.exe", &soon));

    ::Sleep(1500);
    EXPECT_TRUE(ProbeStarts().empty()) << "started before its time";
    ASSERT_TRUE(WaitUntil([] { return ProbeStarts().size() == 2; }, 15000));
    ::Sleep(1000);
    std::vector<ProbeStart> starts = ProbeStarts();
    ASSERT_EQ(starts.size(), 2u) << "each registration starts the program once";
    for (size_t i = 0; i < starts.size(); ++i) {
        const SYSTEMTIME &asked = i == 0 ? soon : later;
        int64_t late = int64_t(Milliseconds(starts[i].at)) - int64_t(Milliseconds(asked));
        EXPECT_GE(late, -50) << "start " << i << " came before its time";
        EXPECT_LT(late, 3000) << "start " << i << " came late";
        EXPECT_NE(starts[i].commandLine.find("AppRunAtTime"), std::string::npos)
            << starts[i].commandLine;
    }
}

TEST_F(AlertingE2E, PostedKeysReachTheFocusWindowOfAnotherProgramAndHoldNoKey) {
    Process probe = Start(DevicePath(NUDGEBELL_KEY_PROBE), L"");
    HWND window = WaitForWindow(L"NudgebellKeyProbe", L"ready");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == window; }));

    HWND focusWindow = reinterpret_cast<HWND>(-1);
    for (UINT key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_UP, VK_DOWN, VK_RETURN}) {
        UINT shiftState = 0x80;
        UINT character = key;
        EXPECT_TRUE(plat::PostKeybdMessage(focusWindow, key, 0x80, 1, &shiftState, &character));
        ::Sleep(50);
    }

    // The receiver's own translation gives Enter its character and the arrows none.
    const std::wstring expected = L"D40 D40 D40 D38 D40 D13 C13";
    wchar_t title[100] = L"";
    EXPECT_TRUE(WaitUntil([&] {
        ::GetWindowTextW(window, title, 100);
        return expected == title;
    }));
    EXPECT_EQ(std::wstring(title), expected);
    for (int key : {VK_DOWN, VK_UP, VK_RETURN})
        EXPECT_GE(::GetAsyncKeyState(key), 0) << "key " << key << " left held";

    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(Wait(probe, 10000), 0u);
}

} // namespace

namespace {

TEST(DesktopSoundNames, HandheldNamesPlayTheMediaFolderFilesNetworkPathsNever) {
    wchar_t windows[MAX_PATH] = L"";
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring media = std::wstring(windows) + L"\\Media\\";
    struct Case {
        const wchar_t *sound;
        std::wstring plays;
    };
    const Case cases[] = {
        {L"Alarm1", media + L"Alarm1.wav"},
        {L"\\Windows\\Alarm3.wav", media + L"Alarm3.wav"},
        {L"Chimes.wav", media + L"Chimes.wav"},
        {L"NoSuchSound", L"NoSuchSound"},                 // left for the system: its default sound
        {L"C:\\sounds\\own.wav", L"C:\\sounds\\own.wav"}, // a path of the user's own
        {L"\\\\host\\share\\Alarm1.wav", L"SystemDefault"},
        {L"//host/share/Alarm1", L"SystemDefault"},
        {L"\\/host\\x", L"SystemDefault"},
    };
    for (const Case &c : cases) {
        wchar_t path[MAX_PATH];
        EXPECT_EQ(std::wstring(plat::win32::DesktopSoundName(c.sound, path)), c.plays);
    }
}

} // namespace
