// The program's wake-ups on the device under a shifted clock (tools/device/shifted-clock, in
// Berlin's zone): each replay has the program's scheduled start about a second before it,
// whatever the program is doing (the About box open, a long play) and whatever the clock does
// (both daylight-saving changes, a jump back and one forward).
#include "res/resource.h"
#include "tests/e2e/harness.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

namespace {

using namespace e2e;
namespace fs = std::filesystem;

constexpr DWORD Delay = 2000, Forced = 0xFFFFFFFF, Half = 0x80008000;
constexpr LONGLONG Hour = 3600000;

// Universal time in milliseconds, on the shifted clock; from the digits YYYYMMDDhhmmss.
LONGLONG Universal() {
    ULARGE_INTEGER now{};
    ::GetSystemTimePreciseAsFileTime(reinterpret_cast<FILETIME *>(&now));
    return LONGLONG(now.QuadPart / 10000);
}
LONGLONG Universal(ULONGLONG digits) {
    SYSTEMTIME time{};
    for (WORD *field : {&time.wSecond, &time.wMinute, &time.wHour, &time.wDay, &time.wMonth})
        *field = WORD(digits % 100), digits /= 100;
    time.wYear = WORD(digits);
    ULARGE_INTEGER file{};
    ::SystemTimeToFileTime(&time, reinterpret_cast<FILETIME *>(&file));
    return LONGLONG(file.QuadPart / 10000);
}

// The clock of every process of the device: its offset from the real one, in the file that
// FAKETIME_TIMESTAMP_FILE names, which the shifted clock rereads at each reading.
class ShiftedClock {
  public:
    ShiftedClock() {
        char *file = std::getenv("FAKETIME_TIMESTAMP_FILE");
        path = file ? DevicePath(file) : L"";
        std::ifstream(fs::path(path)) >> offset;
    }
    bool Shifted() const { return !path.empty(); }
    // The clock reads `universal` (ms) `after` ms from now.
    void Set(LONGLONG universal, LONGLONG after = 0) {
        offset += (universal - after - Universal()) / 1000.0;
        char text[32];
        std::snprintf(text, sizeof text, "%+.3f\n", offset);
        std::ofstream(fs::path(path + L".part")) << text;
        fs::rename(path + L".part", path); // a reader never sees half of it
    }
    void Jump(LONGLONG milliseconds) { Set(Universal() + milliseconds); }

  private:
    std::wstring path;
    double offset = 0;
};

// The program's scheduled starts (its own child processes, through a job) and its replays (the
// system's volume mirror forced), both on the tick count; `onReplay` and `onPlayed` run when a
// replay begins and when its level is put back.
struct Watcher {
    HANDLE job = ::CreateJobObjectW(nullptr, nullptr);
    HANDLE port = ::CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1);
    HANDLE changed = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HKEY mirror = nullptr;
    DWORD program = 0;
    std::vector<ULONGLONG> starts, replays;

    explicit Watcher(Process &started) {
        JOBOBJECT_ASSOCIATE_COMPLETION_PORT link{job, port};
        ::SetInformationJobObject(job, JobObjectAssociateCompletionPortInformation, &link,
                                  sizeof link);
        EXPECT_TRUE(::AssignProcessToJobObject(job, started.handle));
        program = ::GetProcessId(started.handle);
        ::RegOpenKeyExW(HKEY_CURRENT_USER, VolumeKey, 0, KEY_READ | KEY_NOTIFY, &mirror);
        Arm();
    }
    ~Watcher() {
        ::RegCloseKey(mirror);
        for (HANDLE handle : {job, port, changed})
            ::CloseHandle(handle);
    }
    void Arm() {
        ::RegNotifyChangeKeyValue(mirror, FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed, TRUE);
    }
    // Until `replayCount` replays have begun or `milliseconds` have passed.
    void Watch(size_t replayCount, DWORD milliseconds, const std::function<void(size_t)> &onReplay,
               const std::function<void(size_t)> &onPlayed) {
        DWORD level = Half;
        for (ULONGLONG end = ::GetTickCount64() + milliseconds;
             replays.size() < replayCount && ::GetTickCount64() < end;) {
            bool moved = ::WaitForSingleObject(changed, 10) == WAIT_OBJECT_0;
            DWORD message = 0;
            ULONG_PTR key = 0;
            OVERLAPPED *id = nullptr;
            while (::GetQueuedCompletionStatus(port, &message, &key, &id, 0))
                if (message == JOB_OBJECT_MSG_NEW_PROCESS && DWORD(ULONG_PTR(id)) != program)
                    starts.push_back(::GetTickCount64());
            if (!moved)
                continue;
            Arm();
            DWORD now = ReadValue(VolumeKey, L"Volume").value_or(0);
            if (now == Forced && level != Forced) {
                replays.push_back(::GetTickCount64());
                onReplay(replays.size());
            } else if (now != Forced && level == Forced) {
                onPlayed(replays.size());
            }
            level = now;
        }
    }
    // The starts from `from` to `to` ms after the beginning of replay k (1 on), as text.
    std::string StartsAround(size_t k, LONGLONG from, LONGLONG to) const {
        std::string seen;
        for (ULONGLONG start : starts) {
            LONGLONG at = LONGLONG(start) - LONGLONG(replays[k - 1]);
            if (at >= from && at <= to)
                seen += " " + std::to_string(at);
        }
        return seen;
    }
};

class WakeRun : public ProgramTest {
  protected:
    void TearDown() override {
        for (HWND window; (window = ::FindWindowW(L"Dialog", nullptr)) != nullptr;)
            ::SendMessageW(window, WM_CLOSE, 0, 0);
        ProgramTest::TearDown();
    }
};

// One series of 7 replays, a delay of 2 s; the wake-up for each comes 1 s before it. The
// series starts a second before the spring change; replay 1 plays long, on a slow output; the
// About box is open from replay 2 to 3; after replay 3 the clock goes an hour back, after replay
// 4 forward to a second before the autumn change, whose repeated hour replay 7 falls in. "Exit"
// at replay 7 ends the program at once, and the start it had pending never comes.
TEST_F(WakeRun, EachReplayHasItsWakeUpWhateverTheProgramOrTheClockDoes) {
    ShiftedClock clock;
    ASSERT_TRUE(clock.Shifted()) << "run it through ctest, under tools/device/shifted-clock";
    TIME_ZONE_INFORMATION zone{};
    ASSERT_EQ(::GetTimeZoneInformation(&zone), TIME_ZONE_ID_STANDARD) << "not in Berlin's zone";
    ASSERT_EQ(zone.Bias, -60) << "not in Berlin's zone";
    // Plays are slow while the flag exists: the output's command waits before it reads.
    const wchar_t *homeDir = ::_wgetenv(L"WINEHOMEDIR"); // "\??\Z:\..." (Unix's HOME)
    ASSERT_NE(homeDir, nullptr);
    const fs::path home = homeDir + 4, slow = home / "slow-output";
    std::string unixSlow = slow.string().substr(2);
    std::ranges::replace(unixSlow, '\\', '/');
    std::ofstream(home / ".asoundrc")
        << "pcm.!default { type file slave.pcm \"null\" format \"wav\" file \"|test -e '"
        << unixSlow << "' && sleep 1; cat > /dev/null\" }\n";
    std::ofstream{slow};
    for (auto [name, value] : {std::pair{L"RepeatTimes", 7u},
                               {L"RepeatDelay", Delay},
                               {L"VolumeControl", 3u},
                               {L"Language", 1u}})
        WriteSetting(name, value);
    WriteValue(VolumeKey, L"Volume", &Half);
    Process reminder = Start(DevicePath(NUDGEBELL_TOOLS) + L"\\reminder.exe", L"/title:1");
    Close(reminder);
    ASSERT_TRUE(WaitUntil([] { return ::FindWindowW(L"Dialog", L"Reminder"); }));

    Process program = StartProgram(L"/AUTORUN"), again{};
    Watcher watcher(program);
    HWND main = WaitForProgramWindow(program);
    ASSERT_NE(main, nullptr);
    // The series starts at the first look, 5 s on, at 01:59:59.5 in winter time on 29 March
    // 2026: the wake-up for replay 1 is asked for a time that the change skips.
    clock.Set(Universal(20260329005959) + 500, 5000);
    auto replayed = [&](size_t k) {
        if (k == 3)
            ::PostMessageW(FindOwnedWindow(main, L"About Nudgebell+"), WM_COMMAND, IDOK, 0);
        if (k == 7) // done once the play is over and the next wake-up pending
            ::PostMessageW(
                ::GetDlgItem(::FindWindowExW(main, nullptr, L"#32770", nullptr), IDC_EXIT),
                BM_CLICK, 0, 0);
    };
    auto played = [&](size_t k) {
        if (k == 1) {
            fs::remove(slow);
            again = StartProgram(L""); // the panel comes forward, the series goes on
        }
        if (k == 2)
            ::PostMessageW(main, WM_COMMAND, IDM_ABOUT, 0);
        if (k == 3)
            clock.Jump(-Hour);
        if (k == 4) // 02:59:59.5 in summer time on 25 October 2026, when replay 5 begins
            clock.Set(Universal(20261025005959) + 500, Delay);
    };
    watcher.Watch(7, 5000 + 8 * Delay, replayed, played);
    ASSERT_EQ(watcher.replays.size(), 7u);
    const char *what[] = {"the spring change",       "a long play",
                          "the About box open",      "the clock an hour back",
                          "the clock moved forward", "the autumn change",
                          "the repeated hour"};
    for (size_t k = 1; k <= 7; ++k) {
        const std::string before = watcher.StartsAround(k, -LONGLONG(Delay), 0);
        EXPECT_TRUE(!before.empty() && before == watcher.StartsAround(k, -1400, -600))
            << "replay " << k << " (" << what[k - 1] << "): starts at" << before
            << " ms, wanted one from -1400 to -600";
    }

    EXPECT_EQ(Wait(again, 0), 0u) << "the second start did not end";
    EXPECT_EQ(Wait(program, 3000), 0u) << "not ended by Exit";
    const size_t started = watcher.starts.size();
    watcher.Watch(
        8, Delay, [](size_t) {}, [](size_t) {}); // the starts alone
    EXPECT_EQ(watcher.starts.size(), started) << "a start after the program ended";
}

} // namespace
