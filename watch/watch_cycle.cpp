// The watch cycle: one tick per timer message. Idle ticks look for the reminder window; the
// first that finds it starts a series at RepeatDelay, whose ticks replay the alarm RepeatTimes
// times and then end it, snoozing the reminder when asked to.
#include "watch/watch_cycle.h"
#include "alert/alert.h"
#include "app/app.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "settings/settings.h"
#include "watch/wake_up.h"

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

bool IsKnownLanguage(DWORD language) {
    return language >= 1 && language <= ReminderTitleCount;
}

// Searches with the known language's title alone. Otherwise, and for a stored value that names
// no title, tries every title in order and learns the language of the first that is open.
bool FindReminderWindow() {
    if (IsKnownLanguage(Settings.Language))
        return plat::FindWindowW(ReminderClass, ReminderTitleTable[Settings.Language - 1]);
    for (DWORD language = 1; language <= ReminderTitleCount; ++language) {
        if (plat::FindWindowW(ReminderClass, ReminderTitleTable[language - 1])) {
            Settings.Language = language;
            SaveLanguage();
            return true;
        }
    }
    return false;
}

void RestartWatchTimer(UINT period) {
    plat::KillTimer(MainWindow, WatchTimer);
    plat::SetTimer(MainWindow, WatchTimer, period, nullptr);
}

void StartSeries() {
    WatchState.ringing = 1;
    WatchState.ringCount = 0;
    RestartWatchTimer(Settings.RepeatDelay);
    ScheduleWakeUp();
}

void EndSeries() {
    WatchState.ringing = 0;
    plat::KillTimer(MainWindow, WatchTimer);
    if (Settings.AutoSnooze)
        SendSnoozeKeys();
    StartWatchTimer();
    WatchState.cycleDone = 1;
}

void ContinueSeries() {
    if (Settings.Play && WatchState.ringCount < Settings.RepeatTimes) {
        WatchState.playing = 1;
        PlayAlarm(Settings.Sound.data());
        WatchState.playing = 0;
    }
    ++WatchState.ringCount;
    if (WatchState.ringCount > Settings.RepeatTimes) {
        EndSeries();
        return;
    }
    // Last, so that a tick nested in its failure message finds the state already settled.
    ScheduleWakeUp();
}

} // namespace

void WatchTick() {
    if (WatchState.playing)
        return;

    if (!FindReminderWindow()) {
        if (WatchState.ringing) {
            // Dismissed or snoozed by hand during the series: stop at once, without keys.
            WatchState.ringing = 0;
            plat::KillTimer(MainWindow, WatchTimer);
            StartWatchTimer();
        }
        WatchState.cycleDone = 0;
        return;
    }

    if (WatchState.ringing)
        ContinueSeries();
    else if (!WatchState.cycleDone)
        StartSeries();
}
