// Wake-ups: when the program has itself started again, and the calendar carry behind it.
#include "tests/unit/device_test.h"
#include "watch/wake_up.h"

#include <string>

using fake::device;

namespace {

SYSTEMTIME Time(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    return SYSTEMTIME{year, month, 0, day, hour, minute, second, 0};
}

std::string Text(const SYSTEMTIME &t) {
    char text[40];
    snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
             t.wMinute, t.wSecond);
    return text;
}

class WakeUp : public DeviceTest {
  protected:
    void SetUp() override {
        DeviceTest::SetUp();
        const wchar_t path[] = L"\\Program Files\\Nudgebell+\\nudgebellplus.exe";
        std::copy(std::begin(path), std::end(path), ModulePath.begin());
        MainWindow = fake::HandleOfWindow(1);
    }
};

TEST_F(WakeUp, ScheduledOneSecondBeforeTheNextTickOrAtTheStartOfALaterMinute) {
    struct Case {
        SYSTEMTIME now;
        DWORD repeatDelay;
        SYSTEMTIME scheduled;
    };
    const Case cases[] = {
        {Time(2004, 6, 1, 14, 5, 10), 30000, Time(2004, 6, 1, 14, 5, 39)},
        {Time(2004, 6, 1, 14, 5, 45), 30000, Time(2004, 6, 1, 14, 6, 0)},
        {Time(2004, 4, 30, 23, 59, 31), 30000, Time(2004, 5, 1, 0, 0, 0)},
        {Time(2004, 12, 31, 23, 59, 50), 30000, Time(2005, 1, 1, 0, 0, 0)},
        // Leap years by the Gregorian rule.
        {Time(2004, 2, 28, 23, 59, 40), 30000, Time(2004, 2, 29, 0, 0, 0)},
        {Time(2004, 2, 29, 23, 59, 40), 30000, Time(2004, 3, 1, 0, 0, 0)},
        {Time(2005, 2, 28, 23, 59, 40), 30000, Time(2005, 3, 1, 0, 0, 0)},
        {Time(2000, 2, 28, 23, 59, 40), 30000, Time(2000, 2, 29, 0, 0, 0)},
        {Time(2100, 2, 28, 23, 59, 40), 30000, Time(2100, 3, 1, 0, 0, 0)},
        {Time(2004, 6, 1, 10, 0, 50), 300000, Time(2004, 6, 1, 10, 5, 0)},
        {Time(2004, 6, 1, 10, 0, 0), 1500, Time(2004, 6, 1, 10, 0, 0)},
        {Time(2004, 6, 1, 10, 0, 0), 1001, Time(2004, 6, 1, 10, 0, 0)},
        // The longest offset whose seconds cannot wrap in 16 bits, 65476 s, for every longer
        // delay (one that is negative when read as signed included): the start of the minute
        // of 2 June 08:16:26.
        {Time(2004, 6, 1, 14, 5, 10), 65477000, Time(2004, 6, 2, 8, 16, 0)},
        {Time(2004, 6, 1, 14, 5, 59), 65478000, Time(2004, 6, 2, 8, 17, 0)},
        {Time(2004, 6, 1, 14, 5, 10), 65536000, Time(2004, 6, 2, 8, 16, 0)},
        {Time(2004, 6, 1, 14, 5, 10), 65537000, Time(2004, 6, 2, 8, 16, 0)},
        {Time(2004, 6, 1, 14, 5, 10), 0x7FFFFFFF, Time(2004, 6, 2, 8, 16, 0)},
        {Time(2004, 6, 1, 14, 5, 10), 0x80000000, Time(2004, 6, 2, 8, 16, 0)},
        {Time(2004, 6, 1, 14, 5, 10), 0xFFFFFFFF, Time(2004, 6, 2, 8, 16, 0)},
    };
    for (const Case &c : cases) {
        SetUp();
        fake::SetLocalTime(c.now);
        const WORD dayOfWeek = fake::LocalTime().wDayOfWeek;
        Settings.RepeatDelay = c.repeatDelay;

        ScheduleWakeUp();

        SCOPED_TRACE(Text(c.now) + " + " + std::to_string(c.repeatDelay) + " ms");
        ASSERT_EQ(device().wakeups.size(), 1u);
        const fake::Wakeup &wakeup = device().wakeups[0];
        EXPECT_EQ(wakeup.program, std::wstring(ModulePath.data()));
        EXPECT_EQ(Text(wakeup.when), Text(c.scheduled));
        EXPECT_EQ(wakeup.when.wDayOfWeek, dayOfWeek) << "kept as read";
        EXPECT_TRUE(device().messageBoxes.empty());
    }
}

TEST_F(WakeUp, DelayOfOneSecondOrLessSchedulesNothing) {
    for (DWORD repeatDelay : {0u, 1u, 999u, 1000u}) {
        SetUp();
        Settings.RepeatDelay = repeatDelay;
        ScheduleWakeUp();
        EXPECT_TRUE(device().calls.empty()) << repeatDelay;
    }
}

TEST_F(WakeUp, FailedRegistrationIsReportedAndNotRetried) {
    device().wakeupResult = FALSE;

    ScheduleWakeUp();

    EXPECT_EQ(device().wakeups.size(), 1u);
    ASSERT_EQ(device().messageBoxes.size(), 1u);
    const fake::MessageBoxShown &box = device().messageBoxes[0];
    EXPECT_EQ(box.owner, MainWindow);
    EXPECT_EQ(box.text, L"CeRunAppAtTime() failed");
    EXPECT_EQ(box.caption, L"Nudgebell+");
    EXPECT_EQ(box.style, static_cast<UINT>(MB_ICONHAND));
}

TEST_F(WakeUp, CarryStepsAddInSixteenBitsAndStepAtMostOneMonth) {
    using Step = void (*)(SYSTEMTIME *, DWORD);
    struct Case {
        const char *what;
        Step step;
        SYSTEMTIME from;
        DWORD n;
        SYSTEMTIME to;
    };
    const Case cases[] = {
        {"only the low 16 bits count", AddSeconds, Time(2004, 6, 1, 10, 0, 0), 0x10005,
         Time(2004, 6, 1, 10, 0, 5)},
        {"a carried second is 0", AddSeconds, Time(2004, 6, 1, 10, 0, 59), 1,
         Time(2004, 6, 1, 10, 1, 0)},
        {"a carried minute keeps its remainder", AddMinutes, Time(2004, 6, 1, 10, 50, 0), 75,
         Time(2004, 6, 1, 12, 5, 0)},
        {"a carried hour keeps its remainder", AddHours, Time(2004, 6, 1, 22, 0, 0), 27,
         Time(2004, 6, 3, 1, 0, 0)},
        {"a month at most, to its first day", AddDays, Time(2004, 1, 30, 0, 0, 0), 40,
         Time(2004, 2, 1, 0, 0, 0)},
        {"last day of a 30-day month", AddDays, Time(2004, 11, 29, 0, 0, 0), 1,
         Time(2004, 11, 30, 0, 0, 0)},
        {"year end", AddDays, Time(2004, 12, 31, 0, 0, 0), 1, Time(2005, 1, 1, 0, 0, 0)},
        {"a day sum past 65535 wraps", AddDays, Time(2004, 6, 10, 0, 0, 0), 0xFFFF,
         Time(2004, 6, 9, 0, 0, 0)},
        {"a month that does not exist carries into January", AddDays, Time(2004, 13, 1, 0, 0, 0), 0,
         Time(2005, 1, 1, 0, 0, 0)},
    };
    for (const Case &c : cases) {
        SYSTEMTIME time = c.from;
        time.wDayOfWeek = 3;
        time.wMilliseconds = 789;
        c.step(&time, c.n);
        EXPECT_EQ(Text(time), Text(c.to)) << c.what;
        EXPECT_EQ(time.wDayOfWeek, 3) << c.what;
        EXPECT_EQ(time.wMilliseconds, 789) << c.what;
    }
    for (Step step : {AddSeconds, AddMinutes, AddHours, AddDays})
        step(nullptr, 100); // a null record is ignored, not a crash
}

} // namespace
