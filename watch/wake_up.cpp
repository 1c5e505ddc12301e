// Wake-ups: the platform starts a short-lived copy of the program just before the next
// replay, so that a suspended device is awake when the watch timer is due.
#include "watch/wake_up.h"
#include "common/process.h"
#include "platform/clock.h"
#include "settings/settings.h"

#include <utility>

namespace {

constexpr DWORD MillisecondsPerSecond = 1000;
// The carry steps add in 16 bits: a larger offset would wrap the seconds and schedule the
// wake-up in the past. A longer delay gets the latest wake-up they can express, which still
// comes before the next tick.
constexpr DWORD LongestOffset = 0xFFFF - 59;

bool WakeUpFailureTold = false;

bool IsLeapYear(WORD year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Days in `month` of `year`; 0 for a month that does not exist, so that it carries at once.
WORD MonthDays(WORD month, WORD year) {
    static constexpr WORD days[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month > 12)
        return 0;
    if (month == 2 && IsLeapYear(year))
        return 29;
    return days[month];
}

} // namespace

bool WakeUpTime(const SYSTEMTIME &now, DWORD repeatDelay, SYSTEMTIME *when) {
    if (repeatDelay <= MillisecondsPerSecond)
        return false;
    // One second before the next tick. The delay is unsigned: one of 2^31 ms or more is long,
    // not negative.
    DWORD offset = repeatDelay / MillisecondsPerSecond - 1;
    if (offset > LongestOffset)
        offset = LongestOffset;
    *when = now;
    AddSeconds(when, offset);
    return true;
}

void ScheduleWakeUp(const SYSTEMTIME &now) {
    SYSTEMTIME when{};
    if (!WakeUpTime(now, Settings.RepeatDelay, &when))
        return;
    if (plat::CeRunAppAtTime(ModulePath.data(), &when) || std::exchange(WakeUpFailureTold, true))
        return;
    // Under another box a later tick tells it. Ticks inside this box see it told, unless a new
    // series starts in there.
    if (!ReportFailure(L"CeRunAppAtTime() failed"))
        WakeUpFailureTold = false;
}

void ForgetWakeUpFailure() {
    WakeUpFailureTold = false;
}

// Each step adds in 16 bits, hands its carry to the next coarser step first, then sets its
// own field.

void AddSeconds(SYSTEMTIME *time, DWORD n) {
    if (!time)
        return;
    WORD second = static_cast<WORD>(time->wSecond + static_cast<WORD>(n));
    if (second > 59) {
        AddMinutes(time, second / 60);
        // The start of the later minute: the wake-up then never passes the next tick.
        second = 0;
    }
    time->wSecond = second;
}

void AddMinutes(SYSTEMTIME *time, DWORD n) {
    if (!time)
        return;
    WORD minute = static_cast<WORD>(time->wMinute + static_cast<WORD>(n));
    if (minute > 59) {
        AddHours(time, minute / 60);
        minute %= 60;
    }
    time->wMinute = minute;
}

void AddHours(SYSTEMTIME *time, DWORD n) {
    if (!time)
        return;
    WORD hour = static_cast<WORD>(time->wHour + static_cast<WORD>(n));
    if (hour > 23) {
        AddDays(time, hour / 24);
        hour %= 24;
    }
    time->wHour = hour;
}

void AddDays(SYSTEMTIME *time, DWORD n) {
    if (!time)
        return;
    WORD day = static_cast<WORD>(time->wDay + static_cast<WORD>(n));
    if (day > MonthDays(time->wMonth, time->wYear)) {
        // At most one month is stepped: the offsets in use carry at most one day.
        ++time->wMonth;
        if (time->wMonth > 12) {
            time->wMonth = 1;
            ++time->wYear;
        }
        day = 1;
    }
    time->wDay = day;
}
