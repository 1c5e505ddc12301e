// The watch cycle: one tick per timer message. Idle ticks look for reminder windows; the first
// that finds one whose series has not been played starts a series for that window at
// RepeatDelay, whose ticks replay the alarm RepeatTimes times and then end it, snoozing that
// reminder when asked to. A series belongs to its window: another reminder that opens meanwhile
// waits for its own series, and a series whose window has gone stops.
#include "watch/watch_cycle.h"
#include "alert/alert.h"
#include "common/process.h"
#include "platform/clock.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "settings/settings.h"
#include "watch/wake_up.h"

#include <algorithm>
#include <utility>

WatchStateRecord WatchState;

const wchar_t *const ReminderTitleTable[ReminderTitleCount] = {
    L"Reminder",
    L"Erinnerung",
    L"Aviso",
    L"Rappel",
    L"\x041D\x0430\x043F\x043E\x043C\x0438\x043D\x0430\x043D\x0438\x0435",
    L"Promemoria",
};

namespace {

constexpr LPCWSTR ReminderClass = L"Dialog";
constexpr UINT_PTR WatchTimer = 1;

// The reminder windows open now, front first, into `found`; answers their count. Learns the
// language of the first title found, when it was not known, and stores it.
size_t FindReminderWindows(ReminderWindows &found) {
    DWORD language = SearchReminderTitles(Settings.Language, [](const wchar_t *title) {
        return plat::FindWindowExW(nullptr, nullptr, ReminderClass, title) != nullptr;
    });
    if (!language)
        return 0;
    if (language != Settings.Language) {
        Settings.Language = language;
        SaveLanguage();
    }
    size_t count = 0;
    HWND window = nullptr;
    while (count < found.size() &&
           (window = plat::FindWindowExW(nullptr, window, ReminderClass,
                                         ReminderTitleTable[language - 1])) != nullptr)
        found[count++] = window;
    return count;
}

bool Contains(std::span<const HWND> windows, HWND window) {
    return window && std::ranges::find(windows, window) != windows.end();
}

// A window keeps its place among the done ones only while it stays open.
void ForgetClosedReminders(std::span<const HWND> open) {
    ReminderWindows &done = WatchState.cycleDone;
    auto end = std::remove_if(done.begin(), done.end(),
                              [&](HWND window) { return !Contains(open, window); });
    std::fill(end, done.end(), nullptr);
}

// There is always room: the done windows are open ones other than the series' own, and a tick
// looks at no more than the list holds.
void MarkReminderDone(HWND window) {
    auto free = std::ranges::find(WatchState.cycleDone, nullptr);
    if (free != WatchState.cycleDone.end())
        *free = window;
}

// The local time at which this tick began, from which its wake-up is reckoned.
SYSTEMTIME TickTime() {
    SYSTEMTIME now{};
    plat::GetLocalTime(&now);
    return now;
}

void StartSeries(HWND reminder) {
    const SYSTEMTIME began = TickTime();
    WatchState.ringing = 1;
    WatchState.reminder = reminder;
    WatchState.ringCount = 0;
    ArmWatchTimer(Settings.RepeatDelay);
    ForgetWakeUpFailure();
    ScheduleWakeUp(began);
}

void EndSeries() {
    WatchState.ringing = 0;
    StopWatchTimer(); // the poll counts from the keys' end
    if (Settings.AutoSnooze)
        SendSnoozeKeys(WatchState.reminder);
    ArmWatchTimer(PollInterval);
    MarkReminderDone(std::exchange(WatchState.reminder, nullptr));
}

// Dismissed or snoozed by hand during the series: stop at once, without keys.
void StopSeries() {
    WatchState.ringing = 0;
    WatchState.reminder = nullptr;
    ArmWatchTimer(PollInterval);
}

void ContinueSeries() {
    const SYSTEMTIME began = TickTime(); // before the play, which may take long
    if (Settings.Play && WatchState.ringCount < Settings.RepeatTimes) {
        WatchState.playing = 1;
        PlayAlarm(Settings.Sound.data(), Settings.VolumeControl, WatchState.ringCount);
        WatchState.playing = 0;
    }
    ++WatchState.ringCount;
    if (WatchState.ringCount > Settings.RepeatTimes) {
        EndSeries();
        return;
    }
    // Last, so that a tick nested in its failure message finds the state already settled.
    ScheduleWakeUp(began);
}

} // namespace

void ArmWatchTimer(UINT period) {
    // Killed first, so that an expiry due at the old period goes with it.
    plat::KillTimer(MainWindow, WatchTimer);
    plat::SetTimer(MainWindow, WatchTimer, period, nullptr);
}

void StopWatchTimer() {
    plat::KillTimer(MainWindow, WatchTimer);
}

DWORD SearchReminderTitles(DWORD language, bool (*isOpen)(const wchar_t *title)) {
    if (language >= 1 && language <= ReminderTitleCount)
        return isOpen(ReminderTitleTable[language - 1]) ? language : 0;
    for (DWORD k = 1; k <= ReminderTitleCount; ++k)
        if (isOpen(ReminderTitleTable[k - 1]))
            return k;
    return 0;
}

void WatchTick() {
    if (WatchState.playing)
        return;

    ReminderWindows found{};
    std::span<const HWND> open(found.data(), FindReminderWindows(found));
    ForgetClosedReminders(open);
    if (WatchState.ringing) {
        if (Contains(open, WatchState.reminder))
            ContinueSeries();
        else
            StopSeries();
        return;
    }
    for (HWND window : open) {
        if (!Contains(WatchState.cycleDone, window)) {
            StartSeries(window);
            return;
        }
    }
}

void ResumeWatching() {
    if (!WatchState.ringing) {
        ArmWatchTimer(PollInterval);
        return;
    }
    ArmWatchTimer(Settings.RepeatDelay);
    ScheduleWakeUp(TickTime());
}
