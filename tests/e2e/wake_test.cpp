// Wake-ups on a device of their own under a shifted clock in Berlin's zone (tools/device/
// shifted-clock): each start comes RepeatDelay after the one before, whatever the clock does.
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

// The device's clock reads `universal` `after` ms from now: FAKETIME_TIMESTAMP_FILE holds its
// offset in seconds, reread at each reading, and is replaced whole so that none reads it half.
void SetClock(LONGLONG universal, LONGLONG after) {
    static double offset = 0;
    offset += double(universal - after - Universal()) / 1000;
    std::filesystem::path file = DevicePath(std::getenv("FAKETIME_TIMESTAMP_FILE")), part = file;
    std::ofstream(part += "~") << std::showpos << std::fixed << offset << '\n';
    std::filesystem::rename(part, file);
}

// A silent series of replays 2 s apart, whose first look comes at 01:59:59.5 winter time on 29
// March 2026: its first start is asked for a time the change skips. Then the clock goes an hour
// back and an hour forward while a start is pending, and two ticks fall at 02:59:59.5 summer
// time on 25 October and at 02:10 in the hour the change repeats. "Exit" with start 6 pending
// ends the program at once, and that start never comes.
class WakeRun : public ProgramTest {};

TEST_F(WakeRun, EachStartComesADelayAfterTheLastWhateverTheClockDoes) {
    TIME_ZONE_INFORMATION zone{};
    ASSERT_TRUE(std::getenv("FAKETIME_TIMESTAMP_FILE") && ::GetTimeZoneInformation(&zone) &&
                zone.Bias == -60)
        << "run it through ctest: in Berlin's zone, under tools/device/shifted-clock";
    constexpr LONGLONG Delay = 2000, Hour = 3600000;
    WriteSetting(L"Play", 0), WriteSetting(L"RepeatTimes", 9), WriteSetting(L"RepeatDelay", Delay);
    OpenReminder(L"/title:1 /close-after:30000");
    // Its starts are its child processes, seen through a job as they begin.
    Process program = StartProgram(L"/AUTORUN");
    HANDLE job = ::CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_ASSOCIATE_COMPLETION_PORT port{
        job, ::CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1)};
    ::SetInformationJobObject(job, JobObjectAssociateCompletionPortInformation, &port, sizeof port);
    ASSERT_TRUE(::AssignProcessToJobObject(job, program.handle));
    HWND panel = ::FindWindowExW(WaitForProgramWindow(program), nullptr, L"#32770", nullptr);
    SetClock(Universal({2026, 3, 0, 29, 0, 59, 59, 500}), 5000); // the first look's moment
    // After start k: 1500 ms on, with start k + 1 pending, the clock moves by an hour (or "Exit"
    // is pressed); 500 ms on, it is set to read a time at the next tick.
    std::pair<LONGLONG, LONGLONG> moves[] = {{1500, -Hour},
                                             {1500, Hour},
                                             {500, Universal({2026, 10, 0, 25, 0, 59, 59, 500})},
                                             {500, Universal({2026, 10, 0, 25, 1, 10, 0, 0})},
                                             {1500, 0}};
    std::vector<LONGLONG> seen;
    DWORD message = 0;
    ULONG_PTR key = 0;
    for (ULONGLONG end = ::GetTickCount64() + 8000 + 5 * Delay; ::GetTickCount64() < end;) {
        ::Sleep(10);
        for (OVERLAPPED *id;
             ::GetQueuedCompletionStatus(port.CompletionPort, &message, &key, &id, 0);)
            if (message == JOB_OBJECT_MSG_NEW_PROCESS &&
                ULONG_PTR(id) != ::GetProcessId(program.handle))
                seen.push_back(LONGLONG(::GetTickCount64()));
        for (size_t k = 0; k < std::min(seen.size(), std::size(moves)); ++k)
            if (auto &[after, to] = moves[k];
                after && LONGLONG(::GetTickCount64()) >= seen[k] + after) {
                if (k == 4)
                    ::PostMessageW(::GetDlgItem(panel, IDC_EXIT), BM_CLICK, 0, 0);
                else
                    after == 500 ? SetClock(to, after) : SetClock(Universal() + to, 0);
                after = 0; // done
            }
    }
    EXPECT_EQ(Wait(program, 0), 0u) << "not ended by Exit";
    EXPECT_EQ(seen.size(), 5u) << "a start for each tick until Exit, none after";
    for (size_t k = 1; k < seen.size(); ++k)
        EXPECT_NEAR(seen[k] - seen[k - 1], Delay, 400) << "start " << k + 1;
}

} // namespace
