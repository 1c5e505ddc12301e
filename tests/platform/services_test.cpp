// The handheld's services as realized on the desktop, run on the device: scheduled starts and
// the desktop's sound names. Posted keys are seen reaching another program end to end.
#include "platform/clock.h"
#include "platform/message_loop.h"
#include "platform/process.h"
#include "platform/win32/win32_internal.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <optional>

namespace {

// System time in milliseconds; a start of `program` registered at one of its moments.
ULONGLONG Now() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return (ULONGLONG{now.dwHighDateTime} << 32 | now.dwLowDateTime) / 10000;
}
BOOL RunAt(const std::wstring &program, ULONGLONG milliseconds) {
    ULONGLONG ticks = milliseconds * 10000;
    FILETIME universal{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)}, local{};
    SYSTEMTIME time{};
    return ::FileTimeToLocalFileTime(&universal, &local) && ::FileTimeToSystemTime(&local, &time) &&
           plat::CeRunAppAtTime(program.c_str(), &time);
}

// What a wake probe under `path` logged: the time and the command line of each start.
std::vector<std::pair<ULONGLONG, std::string>> Starts(const std::wstring &path) {
    std::vector<std::pair<ULONGLONG, std::string>> starts;
    std::unique_ptr<FILE, int (*)(FILE *)> log(_wfopen((path + L".log").c_str(), L"r"), fclose);
    char line[1024];
    for (ULONGLONG at = 0; log && fscanf(log.get(), "%llu|%1000[^\n]\n", &at, line) == 2;)
        starts.emplace_back(at, line);
    return starts;
}

// In a half-hour zone with daylight saving (ctest sets it): local time taken as universal shows.
TEST(PlatformRun, EachProgramHasOnePendingStartWhichItsLastRegistrationSets) {
    TIME_ZONE_INFORMATION zone{};
    ::GetTimeZoneInformation(&zone);
    ASSERT_NE(zone.Bias % 60, 0) << "not run in a half-hour zone";
    // Two programs: the probe under two names; the first is also named in capitals.
    const std::wstring first = L"Z:" NUDGEBELL_WAKE_PROBE;
    const std::wstring second = first.substr(0, first.size() - 4) + L"_2.exe";
    std::wstring capitals = first;
    ::CharUpperW(capitals.data());
    ASSERT_TRUE(::CopyFileW(first.c_str(), second.c_str(), FALSE));
    for (const std::wstring *probe : {&first, &second})
        ::DeleteFileW((*probe + L".log").c_str());

    // 40 registrations 1.5 to 2.5 s ahead, shuffled: the last is neither the earliest nor latest.
    const ULONGLONG now = Now(), secondAt = now + 2000;
    ULONGLONG last = 0, latest = 0, refused = 0;
    for (int i = 0; i < 40; ++i) {
        last = now + 1500 + (i * 23 % 40) * 25;
        latest = std::max(latest, last);
        refused += !RunAt(i % 2 ? capitals : first, last);
    }
    refused += !RunAt(second, secondAt);
    EXPECT_EQ(refused, 0u);

    // They come while the registering thread is busy elsewhere; any left over would come 2 s
    // after the latest.
    ::Sleep(DWORD(latest + 2000 - Now()));
    for (const auto &[probe, at] : {std::pair{first, last}, std::pair{second, secondAt}}) {
        auto starts = Starts(probe);
        ASSERT_EQ(starts.size(), 1u) << std::string(probe.begin(), probe.end());
        EXPECT_GE(starts[0].first, at) << "started before the time asked";
        EXPECT_LE(starts[0].first, at + 1500) << "started late";
        EXPECT_NE(starts[0].second.find("AppRunAtTime"), std::string::npos) << starts[0].second;
    }
    ::DeleteFileW(second.c_str());
}

// The interval to a local time is the fields' difference, wherever the clock's zone changes
// (Berlin; Sydney; Adelaide; Lord Howe, by half an hour): a time a change repeats or skips is as
// far away as the clock says, as are midnight, a month's and a year's end. Times as the digits
// YYYYMMDDhhmmss, milliseconds beside; no interval for a field out of range.
TEST(PlatformRun, LocalIntervalIsTheDifferenceOfTheFields) {
    auto time = [](ULONGLONG digits, WORD milliseconds = 0) {
        SYSTEMTIME t{};
        t.wMilliseconds = milliseconds;
        for (WORD *field : {&t.wSecond, &t.wMinute, &t.wHour, &t.wDay, &t.wMonth})
            *field = WORD(digits % 100), digits /= 100;
        return t.wYear = WORD(digits), t;
    };
    const std::tuple<ULONGLONG, ULONGLONG, std::optional<LONGLONG>> cases[] = {
        {20261025025958, 20261025030000, 2000},     {20261025021000, 20261025021019, 19000},
        {20260329015958, 20260329020000, 2000},     {20260405025950, 20260405030019, 29000},
        {20261004015955, 20261004020005, 10000},    {20261004015959, 20261004023001, 1802000},
        {20260630235931, 20260701000000, 29000},    {20280228235959, 20280229000001, 2000},
        {20261231235950, 20270101000020, 30000},    {20260329030005, 20260329030003, -2000},
        {20260101000000, 20260101181116, 65476000}, {20261301000000, 20260101000000, {}},
        {20260228000000, 20260229000000, {}}};
    for (auto [from, to, expected] : cases) {
        LONGLONG interval = 0;
        EXPECT_EQ(plat::win32::LocalInterval(time(from, 500), time(to, 500), &interval),
                  expected.has_value());
        EXPECT_EQ(interval, expected.value_or(0)) << from << " to " << to;
    }
}

// The process as the handheld gives it: the arguments alone (a folder may be named AppRunAtTime),
// and no path cut to fit.
TEST(PlatformRun, HandheldSoundNamesPlayTheMediaFolderAndNetworkPathsNever) {
    EXPECT_STREQ(plat::GetCommandLineW(), L"--gtest_filter=PlatformRun.*");
    wchar_t cut[8];
    EXPECT_EQ(plat::GetModuleFileNameW(nullptr, cut, 8), 0u);
    const std::wstring media = std::wstring(::_wgetenv(L"WINDIR")) + L"\\Media\\";
    // Which names are the media folder's is the unit tests' table; here the folder itself.
    const std::pair<const wchar_t *, std::wstring> cases[] = {
        {L"\\Windows\\Alarm1.wav", media + L"Alarm1.wav"},
        {L"\\\\host\\share\\x.wav", L"SystemDefault"},
        {L"//host/share/Alarm1", L"SystemDefault"}};
    for (const auto &[sound, plays] : cases) {
        wchar_t path[MAX_PATH];
        EXPECT_EQ(std::wstring(plat::win32::DesktopSoundName(sound, path)), plays);
    }
}

} // namespace
