// The program's decisions as tables of cases through its pure functions.
#include "settings/settings_panel.h"
#include "settings/shortcut.h"
#include "watch/wake_up.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

// Local times as the digits of year, month, day, hour, minute and second; 0 for none. The day
// of the week, 3, must stay as read. 20040602081600 is the cap: 65476 s on.
SYSTEMTIME Time(ULONGLONG digits) {
    SYSTEMTIME time{};
    for (WORD *field : {&time.wSecond, &time.wMinute, &time.wHour, &time.wDay, &time.wMonth})
        *field = digits % 100, digits /= 100;
    time.wYear = WORD(digits), time.wDayOfWeek = digits ? 3 : 0;
    return time;
}

TEST(Decisions, WakeUpComesBeforeTheNextTickAtTheLatest) {
    const std::tuple<ULONGLONG, DWORD, ULONGLONG> cases[] = {
        {20040601145945, 30000, 20040601150000},    {20040601100050, 300000, 20040601100500},
        {20040430235931, 30000, 20040501000000},    {20041231235950, 30000, 20050101000000},
        {20040228235940, 30000, 20040229000000},    {20050228235940, 30000, 20050301000000},
        {20000228235940, 30000, 20000229000000},    {21000228235940, 30000, 21000301000000},
        {20040601140510, 1001, 20040601140510},     {20040601140510, 1000, 0},
        {20040601140510, 65536000, 20040602081600}, {20040601140510, 0x80000000, 20040602081600},
    };
    for (auto [now, delay, expected] : cases) {
        SYSTEMTIME when{}, want = Time(expected);
        EXPECT_EQ(WakeUpTime(Time(now), delay, &when), expected != 0);
        EXPECT_EQ(std::memcmp(&when, &want, sizeof when), 0) << now << " + " << delay;
    }
}

TEST(Decisions, SoundListSelectsTheStoredSoundWhateverTheOrder) {
    std::wstring names[] = {L"Alarm1", L"Alarm2", L"Alarm3", L"Chimes"};
    for (std::wstring stored : {L"Alarm1", L"Alarm3", L"Chimes", L"alarm2"}) {
        do {
            std::vector<std::wstring> list; // sorted, as the platform keeps it
            int remembered = -1;
            for (const std::wstring &name : names) {
                auto at = list.insert(std::lower_bound(list.begin(), list.end(), name), name);
                remembered = RememberSound(remembered, at - list.begin(), name == stored);
                ASSERT_EQ(RememberSound(remembered, -1, true), remembered) << "not added";
            }
            ASSERT_EQ(remembered < 0 ? L"none" : list[remembered],
                      stored == L"alarm2" ? L"none" : stored);
        } while (std::next_permutation(std::begin(names), std::end(names)));
    }
}

TEST(Decisions, ShortcutPathAndTargetAreWholeOrNothing) {
    PathBuffer path, module{};
    std::array<wchar_t, TargetCapacity> target;
    EXPECT_TRUE(ShortcutPath(L"", path));
    EXPECT_STREQ(path.data(), L"\\Windows\\StartUp\\Nudgebell+.lnk");
    EXPECT_TRUE(ShortcutPath(std::wstring(244, L'f'), path)); // 259 characters in all
    EXPECT_EQ(path.data(), std::wstring(244, L'f') + L"\\Nudgebell+.lnk");
    EXPECT_FALSE(ShortcutPath(std::wstring(245, L'f'), path));
    EXPECT_STREQ(path.data(), L"");
    std::fill_n(module.begin(), 249, L'p');
    EXPECT_TRUE(ShortcutTarget(module, target));
    EXPECT_EQ(target.data(), L"\"" + std::wstring(249, L'p') + L"\" /AUTORUN");
    module[249] = L'p';
    EXPECT_FALSE(ShortcutTarget(module, target));
    EXPECT_STREQ(target.data(), L"");
    module.fill(L'p'); // a cut path: no terminator
    EXPECT_FALSE(ShortcutTarget(module, target));
}

} // namespace
