// The program's wake-ups on the device under a shifted clock in Berlin's zone (tools/device/
// shifted-clock): each replay has its start about a second before it, whatever the program or
// the clock does.
#include "res/resource.h"
#include "tests/e2e/harness.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

using namespace e2e;

// Universal time in ms: of the fields given, else now on the shifted clock.
LONGLONG Universal(SYSTEMTIME time = {}) {
    ULARGE_INTEGER file{};
    if (!::SystemTimeToFileTime(&time, reinterpret_cast<FILETIME *>(&file)))
        ::GetSystemTimePreciseAsFileTime(reinterpret_cast<FILETIME *>(&file));
    return LONGLONG(file.QuadPart / 10000);
}

// The device's clock reads `universal` `after` ms from now: the file that
// FAKETIME_TIMESTAMP_FILE names holds its offset in seconds, reread at each reading.
void SetClock(LONGLONG universal, LONGLONG after = 0) {
    static double offset = 0;
    offset += double(universal - after - Universal()) / 1000;
    std::filesystem::path file = DevicePath(std::getenv("FAKETIME_TIMESTAMP_FILE")), part = file;
    std::ofstream(part += "~") << std::showpos << std::fixed << offset << '\n';
    std::filesystem::rename(part, file); // never read half written
}

// One series of 7 replays 2 s apart, each with its wake-up 1 s before it. The series starts a
// second before the spring change; replay 1 plays long, on a slow output; the About box is open
// from replay 2 to 3; after replay 3 the clock goes an hour back, after replay 4 forward to a
// second before the autumn change, whose repeated hour replay 7 falls in. "Exit" at replay 7
// ends the program at once, and the start it had pending never comes.
TEST_F(ProgramTest, EachReplayHasItsWakeUpWhateverTheProgramOrTheClockDoes) {
    TIME_ZONE_INFORMATION zone{};
    ASSERT_TRUE(std::getenv("FAKETIME_TIMESTAMP_FILE") && ::GetTimeZoneInformation(&zone) &&
                zone.Bias == -60)
        << "run it through ctest: in Berlin's zone, under tools/device/shifted-clock";
    // While the flag exists, the output's command waits a second before it reads.
    std::string home = getenv("WINEHOMEDIR") + 4, slow = home.substr(2) + "/slow"; // "\\??\\Z:\\"
    std::ranges::replace(slow, '\\', '/');
    std::ofstream(home + "\\.asoundrc")
        << "pcm.!default { type file slave.pcm \"null\" format wav "
        << "file \"|test -e '" << slow << "' && sleep 1; cat >/dev/null\" }";
    std::ofstream{home + "\\slow"};
    constexpr DWORD Delay = 2000, Forced = 0xFFFFFFFF, Half = 0x80008000;
    for (auto [name, value] : {std::pair{L"RepeatTimes", 7u},
                               {L"RepeatDelay", Delay},
                               {L"VolumeControl", 3u},
                               {L"Language", 1u}})
        WriteSetting(name, value);
    WriteValue(VolumeKey, L"Volume", &Half);
    Process reminder =
        Start(DevicePath(NUDGEBELL_TOOLS) + L"\\reminder.exe", L"/close-after:40000");
    Close(reminder);
    ASSERT_TRUE(WaitUntil([] { return ::FindWindowW(L"Dialog", L"Reminder"); }));

    // Its starts are its child processes, seen through a job; its replays force the level.
    Process program = StartProgram(L"/AUTORUN");
    HANDLE job = ::CreateJobObjectW(nullptr, nullptr),
           changed = ::CreateEventW(nullptr, 0, 0, nullptr);
    JOBOBJECT_ASSOCIATE_COMPLETION_PORT port{
        job, ::CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1)};
    ::SetInformationJobObject(job, JobObjectAssociateCompletionPortInformation, &port, sizeof port);
    ASSERT_TRUE(::AssignProcessToJobObject(job, program.handle));
    HKEY mirror = nullptr;
    ::RegOpenKeyExW(HKEY_CURRENT_USER, VolumeKey, 0, KEY_READ | KEY_NOTIFY, &mirror);
    HWND main = WaitForProgramWindow(program);
    // The first look, 5 s on, starts the series at 01:59:59.5 in winter time on 29 March 2026:
    // replay 1's wake-up is asked for a time that the change skips.
    SetClock(Universal({2026, 3, 0, 29, 0, 59, 59, 500}), 5000);
    std::vector<LONGLONG> starts, replays;
    DWORD level = Half, message = 0;
    for (ULONGLONG end = ::GetTickCount64() + 6000 + 8 * Delay; ::GetTickCount64() < end;) {
        ::RegNotifyChangeKeyValue(mirror, FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed, TRUE);
        const bool moved = ::WaitForSingleObject(changed, 10) == WAIT_OBJECT_0;
        ULONG_PTR key = 0;
        OVERLAPPED *id = nullptr;
        while (::GetQueuedCompletionStatus(port.CompletionPort, &message, &key, &id, 0))
            if (message == JOB_OBJECT_MSG_NEW_PROCESS &&
                ULONG_PTR(id) != ::GetProcessId(program.handle))
                starts.push_back(LONGLONG(::GetTickCount64()));
        const DWORD now = moved ? ReadValue(VolumeKey, L"Volume").value_or(0) : level;
        const size_t k = replays.size();
        if (now == Forced && level != Forced) { // replay k + 1 begins
            replays.push_back(LONGLONG(::GetTickCount64()));
            if (k == 2)
                ::PostMessageW(FindOwnedWindow(main, L"About Nudgebell+"), WM_COMMAND, IDOK, 0);
            if (k == 6) // done once the play is over and the next wake-up pending
                ::PostMessageW(
                    ::GetDlgItem(::FindWindowExW(main, nullptr, L"#32770", nullptr), IDC_EXIT),
                    BM_CLICK, 0, 0);
        } else if (now != Forced && level == Forced) { // replay k is over
            if (k == 1)
                std::filesystem::remove(home + "\\slow");
            if (k == 2)
                ::PostMessageW(main, WM_COMMAND, IDM_ABOUT, 0);
            if (k == 3) // an hour back
                SetClock(Universal() - 3600000);
            if (k == 4) // 02:59:59.5 in summer time on 25 October 2026 when replay 5 begins
                SetClock(Universal({2026, 10, 0, 25, 0, 59, 59, 500}), Delay);
        }
        level = now;
    }
    EXPECT_EQ(::WaitForSingleObject(program.handle, 0), WAIT_OBJECT_0) << "not ended by Exit";
    ASSERT_EQ(replays.size(), 7u);
    const char *what[] = {"the spring change", "a long play",   "the About box",
                          "an hour back",      "moved forward", "the autumn change",
                          "the repeated hour"};
    for (size_t k = 0; k < 7; ++k) {
        std::string seen;
        bool wanted = false, other = false;
        for (LONGLONG start : starts) // before replay k + 1, or after the last one
            if (LONGLONG at = start - replays[k]; at > -LONGLONG(Delay) && (at <= 0 || k == 6)) {
                seen += " " + std::to_string(at);
                (at >= -1400 && at <= -600 ? wanted : other) = true;
            }
        EXPECT_TRUE(wanted && !other) << "replay " << k + 1 << " (" << what[k] << "): starts at"
                                      << seen << " ms, wanted one from -1400 to -600 alone";
    }
    ::RegCloseKey(mirror);
    for (HANDLE handle : {job, changed, port.CompletionPort})
        ::CloseHandle(handle);
}

} // namespace
