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

// Learns the language of the first title found, when it was not known, and stores it.
bool FindReminderWindow() {
    DWORD language = SearchReminderTitles(Settings.Language, [](const wchar_t *title) {
        return plat::FindWindowW(ReminderClass, title) != nullptr;
    });
    if (language && language != Settings.Language) {
        Settings.Language = language;
        SaveLanguage();
    }
    return language != 0;
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
