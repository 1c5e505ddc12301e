// Wake-ups on a device of their own under a shifted clock in Berlin's zone (tools/device/
// shifted-clock): each start comes RepeatDelay after the one before, whatever the clock does.
#include "res/resource.h"
#include "tests/e2e/harness.h"

#include <fstream>

namespace {

using namespace e2e;

// The device's clock reads `unix` (milliseconds, universal) `after` ms from now: the file holds
// its offset in seconds, reread at each reading, and is replaced whole so that none reads half.
void SetClock(double unix, double after = 0) {
    static double offset = 0;
    offset += (unix - after - UnixMilliseconds()) / 1000;
    fs::path file = DevicePath(std::getenv("FAKETIME_TIMESTAMP_FILE")), part = file;
    std::ofstream(part += "~") << std::showpos << std::fixed << offset << '\n';
    fs::rename(part, file);
}

class WakeRun : public ProgramTest {};

// A silent series 2 s apart whose first look comes at 01:59:59.5 winter time on 29 March 2026,
// so that its first start is asked for a time the change skips. With a start pending, the clock
// goes an hour back, then forward; two ticks fall at 02:59:59.5 summer time on 25 October and at
// 02:10 in the hour the change repeats; "Exit" ends it at once, and its pending start never comes.
TEST_F(WakeRun, EachStartComesADelayAfterTheLastWhateverTheClockDoes) {
    TIME_ZONE_INFORMATION zone{};
    ASSERT_TRUE(std::getenv("FAKETIME_TIMESTAMP_FILE") && ::GetTimeZoneInformation(&zone) &&
                zone.Bias == -60)
        << "run it through ctest: in Berlin's zone, under tools/device/shifted-clock";
    constexpr DWORD Delay = 2000;
    constexpr double Hour = 3600e3;
    WriteSetting(L"Play", 0), WriteSetting(L"RepeatTimes", 9), WriteSetting(L"RepeatDelay", Delay);
    OpenReminder(L"/title:1 /close-after:30000");
    Process program = StartProgram(L"/AUTORUN");
    HANDLE copies = ::CreateJobObjectW(nullptr, nullptr); // its starts join it
    ASSERT_TRUE(::AssignProcessToJobObject(copies, program.Get()));
    HWND exit =
        ::GetDlgItem(::FindWindowExW(WaitForProgramWindow(program), 0, L"#32770", 0), IDC_EXIT);
    SetClock(1774745999.5e3, 5000); // at the first look
    // After start k, with start k + 1 pending, `after` ms on: the clock moves by an hour, or it is
    // set to read a time `at` the next tick, 500 ms later. After start 5, "Exit" is pressed.
    std::tuple<ULONGLONG, double, bool> moves[] = {{1500, -Hour, false},
                                                   {1500, Hour, false},
                                                   {500, 1792889999.5e3, true},
                                                   {500, 1792890600e3, true}};
    std::vector<ULONGLONG> seen;
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION job{};
    for (ULONGLONG end = ::GetTickCount64() + 8000 + 5 * Delay, now;
         (now = ::GetTickCount64()) < end; ::Sleep(10)) {
        ::QueryInformationJobObject(copies, JobObjectBasicAccountingInformation, &job, sizeof job,
                                    0);
        if (job.TotalProcesses > seen.size() + 1)
            seen.push_back(now);
        if (seen.size() == 5 && now >= seen[4] + 1500 && exit)
            ::PostMessageW(std::exchange(exit, nullptr), BM_CLICK, 0, 0);
        for (size_t k = 0; k < std::min(seen.size(), std::size(moves)); ++k)
            if (auto &[after, to, at] = moves[k]; after && now >= seen[k] + after) {
                at ? SetClock(to, 500) : SetClock(UnixMilliseconds() + to);
                after = 0; // done
            }
    }
    EXPECT_EQ(Wait(program, 0), 0u) << "not ended by Exit";
    EXPECT_EQ(seen.size(), 5u) << "a start for each tick until Exit, none after";
    for (size_t k = 1; k < seen.size(); ++k)
        EXPECT_NEAR(double(seen[k] - seen[k - 1]), Delay, 400) << "start " << k + 1;
}

} // namespace
