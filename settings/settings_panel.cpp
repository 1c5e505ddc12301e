// The settings panel: shows Settings, reads it back on "Run" and "Exit", tries the sound.
#include "settings/settings_panel.h"
#include "alert/alert.h"
#include "common/process.h"
#include "platform/dialog.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/window.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "settings/shortcut.h"
#include "watch/watch_cycle.h"

#include <commctrl.h>

#include <cwchar>
#include <limits>

namespace {

constexpr wchar_t SoundPattern[] = L"\\Windows\\*.wav";

// Added in this order, so that an entry's index is the stored value.
constexpr const wchar_t *SnoozeTexts[] = {L"5 minutes",  L"10 minutes", L"15 minutes",
                                          L"30 minutes", L"1 hour",     L"2 hours"};
constexpr const wchar_t *VolumeTexts[] = {L"Don't change", L"Set to minimum", L"Set to medium",
                                          L"Set to maximum", L"Gradually increase"};

// The arrows' ranges; typed numbers are taken as typed.
constexpr WORD TimesLowest = 0, TimesHighest = 100;
constexpr WORD DelayLowest = 5, DelayHighest = 300;

constexpr DWORD MillisecondsPerSecond = 1000;
constexpr DWORD LongestDelay = std::numeric_limits<DWORD>::max();

LRESULT Send(HWND panel, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return plat::SendDlgItemMessageW(panel, id, message, wParam, lParam);
}

void SetCheck(HWND panel, int id, DWORD field) {
    Send(panel, id, BM_SETCHECK, field ? BST_CHECKED : BST_UNCHECKED);
}

DWORD IsTicked(HWND panel, int id) {
    return Send(panel, id, BM_GETCHECK) == BST_CHECKED ? 1 : 0;
}

// An index the list does not have leaves it without a selection; none reads back as -1.
void Select(HWND panel, int id, DWORD index) {
    Send(panel, id, CB_SETCURSEL, static_cast<WPARAM>(static_cast<int>(index)));
}

DWORD SelectedIndex(HWND panel, int id) {
    return static_cast<DWORD>(static_cast<int>(Send(panel, id, CB_GETCURSEL)));
}

template <size_t Count> void FillList(HWND panel, int id, const wchar_t *const (&texts)[Count]) {
    for (const wchar_t *text : texts)
        Send(panel, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

// The ">" button stands level with, and as tall as, the closed sound list.
void LineUpTestButton(HWND panel) {
    HWND list = plat::GetDlgItem(panel, IDC_SOUND);
    HWND button = plat::GetDlgItem(panel, IDC_TEST);
    if (!list || !button)
        return;
    RECT listRect{}, buttonRect{};
    plat::GetWindowRect(list, &listRect);
    plat::GetWindowRect(button, &buttonRect);
    POINT listTop{listRect.left, listRect.top};
    POINT buttonTopLeft{buttonRect.left, buttonRect.top};
    plat::ScreenToClient(panel, &listTop);
    plat::ScreenToClient(panel, &buttonTopLeft);
    plat::MoveWindow(button, buttonTopLeft.x, listTop.y, buttonRect.right - buttonRect.left,
                     listRect.bottom - listRect.top, FALSE);
}

// The name that the list shows for a file: everything before its last '.', and only when that
// name plays this very file: not "Bell.wav.wav" (listed as "Bell.wav", which names Bell.wav),
// nor "Bell.wave" (found through its short name).
bool SoundName(std::wstring_view fileName, wchar_t (&name)[SoundCapacity]) {
    wchar_t file[MAX_PATH];
    return plat::Copy(name, fileName.substr(0, fileName.rfind(L'.'))) &&
           plat::MediaFileName(name, true, file) && std::wcslen(file) == fileName.size();
}

// The field's text, not the platform's number: that one is 0 for a number too large.
UINT TypedNumber(HWND panel, int id) {
    wchar_t text[32] = L"";
    plat::GetDlgItemTextW(panel, id, text, 32);
    return NumberFromText(text);
}

// Reads the panel back, saves and puts in force what it says (`apply`), and only then tells a
// failure of the shortcut: ticks go on inside the box, and find no setting half taken over.
void TakeOver(HWND panel, void (*apply)()) {
    bool shortcutDone = ReadSettingsPanel(panel);
    SaveSettings();
    apply();
    if (!shortcutDone)
        ReportFailure(ShortcutFailure);
}

void RunWatching(HWND panel) {
    TakeOver(panel, ResumeWatching);
    plat::ShowWindow(MainWindow, SW_HIDE);
}

void SaveAndExit(HWND panel) {
    TakeOver(panel, [] {});
    plat::SendMessageW(MainWindow, WM_CLOSE, 0, 0);
}

// Plays the listed sound at the listed volume, rising ("Gradual") as the last series' next replay
// would. Only the volume choice is taken over, and only in memory.
void TrySound(HWND panel) {
    wchar_t name[SoundCapacity] = L"";
    plat::GetDlgItemTextW(panel, IDC_SOUND, name, SoundCapacity);
    Settings.VolumeControl = SelectedIndex(panel, IDC_VOLUME);
    PlayAlarm(name, Settings.VolumeControl, WatchState.ringCount);
}

} // namespace

UINT NumberFromText(std::wstring_view text) {
    size_t at = text.find_first_not_of(L' ');
    UINT number = 0;
    for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
        UINT digit = text[at] - L'0';
        if (number > (std::numeric_limits<UINT>::max() - digit) / 10)
            return std::numeric_limits<UINT>::max();
        number = number * 10 + digit;
    }
    return number;
}

int RememberSound(int remembered, int inserted, bool isStored) {
    if (inserted < 0)
        return remembered; // not added: nothing moved
    if (isStored)
        return inserted;
    // The entry remembered before moved down one place.
    return remembered >= inserted ? remembered + 1 : remembered;
}

DWORD SecondsToDelay(UINT seconds) {
    if (seconds > LongestDelay / MillisecondsPerSecond)
        return LongestDelay;
    return seconds * MillisecondsPerSecond;
}

// Unsigned, so that a delay beyond 24 days (a saturated one included) shows as its own
// seconds and reads back unchanged, not as a wrapped negative count.
UINT DelayToSeconds(DWORD delay) {
    return delay / MillisecondsPerSecond;
}

void FillSoundList(HWND panel) {
    if (!plat::GetDlgItem(panel, IDC_SOUND))
        return;
    int remembered = -1;
    WIN32_FIND_DATAW found{};
    plat::ScopedSearch search(plat::FindFirstFileW(SoundPattern, &found));
    if (!search) {
        Select(panel, IDC_SOUND, 0);
        return;
    }
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue; // a folder named like a sound is none
        wchar_t name[SoundCapacity];
        if (!SoundName(found.cFileName, name))
            continue;
        int inserted = static_cast<int>(
            Send(panel, IDC_SOUND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name)));
        remembered =
            RememberSound(remembered, inserted, std::wcscmp(name, Settings.Sound.data()) == 0);
    } while (plat::FindNextFileW(search.Get(), &found));
    Select(panel, IDC_SOUND, remembered < 0 ? 0 : remembered);
}

void InitSettingsPanel(HWND panel) {
    LineUpTestButton(panel);
    Send(panel, IDC_TIMES_SPIN, UDM_SETRANGE, 0, MAKELPARAM(TimesHighest, TimesLowest));
    Send(panel, IDC_DELAY_SPIN, UDM_SETRANGE, 0, MAKELPARAM(DelayHighest, DelayLowest));
    SetCheck(panel, IDC_PLAY, Settings.Play);
    plat::SetDlgItemInt(panel, IDC_TIMES, Settings.RepeatTimes, FALSE);
    plat::SetDlgItemInt(panel, IDC_DELAY, DelayToSeconds(Settings.RepeatDelay), FALSE);
    FillSoundList(panel);
    SetCheck(panel, IDC_AUTOSNOOZE, Settings.AutoSnooze);
    SetCheck(panel, IDC_AUTORUN, Settings.AutoRun);
    FillList(panel, IDC_SNOOZE, SnoozeTexts);
    Select(panel, IDC_SNOOZE, Settings.SnoozeChoice);
    FillList(panel, IDC_VOLUME, VolumeTexts);
    Select(panel, IDC_VOLUME, Settings.VolumeControl);
}

bool ReadSettingsPanel(HWND panel) {
    Settings.Play = IsTicked(panel, IDC_PLAY);
    Settings.AutoSnooze = IsTicked(panel, IDC_AUTOSNOOZE);
    Settings.RepeatTimes = TypedNumber(panel, IDC_TIMES);
    Settings.RepeatDelay = SecondsToDelay(TypedNumber(panel, IDC_DELAY));
    Settings.SnoozeChoice = SelectedIndex(panel, IDC_SNOOZE);
    Settings.Sound[0] = L'\0';
    plat::GetDlgItemTextW(panel, IDC_SOUND, Settings.Sound.data(), SoundCapacity);
    Settings.VolumeControl = SelectedIndex(panel, IDC_VOLUME);
    return ApplyAutoRun(IsTicked(panel, IDC_AUTORUN) != 0);
}

INT_PTR CALLBACK SettingsPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        InitSettingsPanel(panel);
        return TRUE; // the platform gives the focus to the first control
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_RUN:
            RunWatching(panel);
            break;
        case IDC_EXIT:
            SaveAndExit(panel);
            break;
        case IDC_TEST:
            TrySound(panel);
            break;
        default:
            break; // ticking, typing and choosing change nothing until "Run" or "Exit"
        }
        return TRUE;
    default:
        return FALSE;
    }
}
