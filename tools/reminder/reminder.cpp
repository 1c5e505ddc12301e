// The device's reminder window, as the handheld's own applications open it when a notification
// fires: a top-level window of class "Dialog" titled in the device's language, in front and
// holding the keyboard focus, with "Snooze" and "Dismiss" buttons and a list of snooze
// durations. Used by the end-to-end tests and by the demonstration.
//
//   reminder.exe [/title:N] [/class:NAME] [/close-after:MS] [/report:PATH]
//
//   /title:N         N = 1 "Reminder", 2 "Erinnerung", 3 "Aviso", 4 "Rappel", 5 Russian,
//                    6 "Promemoria"; 1 when not given
//   /class:NAME      registers and opens class NAME instead of "Dialog" (not a reminder)
//   /close-after:MS  closes by itself after MS milliseconds, as a user dismissing it
//   /report:PATH     appends one line per event: "opened TITLE", "key 40", "snoozed 10 minutes",
//                    "dismissed", "closed"
//
// Keyboard: the focus starts on "Snooze". Down moves it to "Dismiss", then into the list, whose
// selection starts on "5 minutes"; in the list Down and Up move the selection, and Up on its
// first entry goes back to "Dismiss". Enter on "Dismiss" dismisses; anywhere else it snoozes
// for the selected duration. So Down, Down, Down, Up leaves "5 minutes" selected whatever the
// list showed, and each further Down picks the next duration.
#include "tools/reminder/titles.h"

#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

constexpr const wchar_t *Durations[] = {L"5 minutes",  L"10 minutes", L"15 minutes",
                                        L"30 minutes", L"1 hour",     L"2 hours"};
constexpr int DurationCount = sizeof Durations / sizeof *Durations;

enum ControlId { SnoozeButton = 101, DismissButton, DurationList, Subject, When, Place, ListLabel };
constexpr UINT_PTR CloseTimer = 1;

// The handheld's screen.
constexpr int ScreenWidth = 240;
constexpr int ScreenHeight = 320;

struct Options {
    std::wstring className = L"Dialog";
    std::wstring title = DeviceReminderTitles[0];
    UINT closeAfter = 0;
    std::wstring report;
} options;

HWND window;
HWND snoozeButton;
HWND dismissButton;
HWND durationList;
HFONT textFont;
HFONT subjectFont;

void Report(const std::wstring &line) {
    if (options.report.empty())
        return;
    HANDLE file = CreateFileW(options.report.c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    std::wstring text = line + L"\n";
    char bytes[512];
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes,
                                   sizeof bytes, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
}

bool TakeOption(const std::wstring &argument, const wchar_t *name, std::wstring *value) {
    size_t length = std::wcslen(name);
    if (argument.size() < length || _wcsnicmp(argument.c_str(), name, length) != 0)
        return false;
    *value = argument.substr(length);
    return true;
}

// False for an option it does not know or a title number outside 1 to 6.
bool ReadOptions() {
    int count = 0;
    wchar_t **arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    bool known = arguments != nullptr;
    for (int i = 1; known && i < count; ++i) {
        std::wstring argument = arguments[i];
        std::wstring value;
        if (TakeOption(argument, L"/title:", &value)) {
            int number = _wtoi(value.c_str());
            known = number >= 1 && number <= 6;
            if (known)
                options.title = DeviceReminderTitles[number - 1];
        } else if (TakeOption(argument, L"/class:", &value)) {
            options.className = value;
        } else if (TakeOption(argument, L"/close-after:", &value)) {
            options.closeAfter = static_cast<UINT>(_wtoi(value.c_str()));
        } else if (TakeOption(argument, L"/report:", &value)) {
            options.report = value;
        } else {
            known = false;
        }
    }
    LocalFree(arguments);
    return known;
}

void Close() {
    Report(L"closed");
    DestroyWindow(window);
}

void Snooze() {
    LRESULT selected = SendMessageW(durationList, LB_GETCURSEL, 0, 0);
    if (selected < 0 || selected >= DurationCount)
        selected = 0;
    Report(std::wstring(L"snoozed ") + Durations[selected]);
    Close();
}

void Dismiss() {
    Report(L"dismissed");
    Close();
}

void Select(LRESULT entry) {
    SendMessageW(durationList, LB_SETCURSEL, static_cast<WPARAM>(entry), 0);
}

// The navigation that the snooze keys count on; see the top of the file.
void OnKey(WPARAM key) {
    Report(L"key " + std::to_wstring(key));
    HWND focus = GetFocus();
    LRESULT selected = SendMessageW(durationList, LB_GETCURSEL, 0, 0);
    switch (key) {
    case VK_DOWN:
        if (focus == durationList) {
            if (selected + 1 < DurationCount)
                Select(selected + 1);
        } else if (focus == dismissButton) {
            Select(0);
            SetFocus(durationList);
        } else {
            SetFocus(dismissButton);
        }
        break;
    case VK_UP:
        if (focus == durationList && selected > 0)
            Select(selected - 1);
        else if (focus == durationList)
            SetFocus(dismissButton);
        else
            SetFocus(snoozeButton);
        break;
    case VK_RETURN:
        if (focus == dismissButton)
            Dismiss();
        else
            Snooze();
        break;
    default:
        break;
    }
}

HWND AddControl(const wchar_t *className, const wchar_t *text, DWORD style, int x, int y, int width,
                int height, int id, HFONT font) {
    HWND control = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width,
                                   height, window, reinterpret_cast<HMENU>(INT_PTR(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

void CreateControls() {
    textFont =
        CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    subjectFont =
        CreateFontW(-15, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    RECT client{};
    GetClientRect(window, &client);
    const int margin = 8;
    const int width = client.right - 2 * margin;

    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t when[64];
    swprintf(when, 64, L"Today, %02u:%02u", now.wHour, now.wMinute);
    AddControl(L"STATIC", L"Team meeting", SS_LEFT, margin, 10, width, 20, Subject, subjectFont);
    AddControl(L"STATIC", when, SS_LEFT, margin, 32, width, 16, When, textFont);
    AddControl(L"STATIC", L"Room 2, second floor", SS_LEFT, margin, 48, width, 16, Place, textFont);

    const int buttonWidth = (width - margin) / 2;
    snoozeButton = AddControl(L"BUTTON", L"Snooze", BS_DEFPUSHBUTTON | WS_TABSTOP, margin, 76,
                              buttonWidth, 26, SnoozeButton, textFont);
    dismissButton = AddControl(L"BUTTON", L"Dismiss", BS_PUSHBUTTON | WS_TABSTOP,
                               client.right - margin - buttonWidth, 76, buttonWidth, 26,
                               DismissButton, textFont);

    AddControl(L"STATIC", L"Snooze for:", SS_LEFT, margin, 114, width, 16, ListLabel, textFont);
    const int listHeight = 6 * 16 + 4;
    durationList = AddControl(L"LISTBOX", L"", WS_BORDER | WS_VSCROLL | LBS_NOTIFY | WS_TABSTOP,
                              margin, 132, width, listHeight, DurationList, textFont);
    for (const wchar_t *duration : Durations)
        SendMessageW(durationList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(duration));
    Select(0);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == SnoozeButton && HIWORD(wParam) == BN_CLICKED)
            Snooze();
        else if (LOWORD(wParam) == DismissButton && HIWORD(wParam) == BN_CLICKED)
            Dismiss();
        else if (LOWORD(wParam) == DurationList && HIWORD(wParam) == LBN_DBLCLK)
            Snooze();
        return 0;
    case WM_TIMER:
        KillTimer(hwnd, CloseTimer);
        Close();
        return 0;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_CTLCOLORSTATIC:
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    if (!ReadOptions())
        return 2;

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = options.className.c_str();
    if (!RegisterClassW(&windowClass))
        return 1;

    // The whole screen, as the handheld's reminder takes it. Shown only once its focus is
    // set, so that no key arrives before there is a place for it.
    window = CreateWindowExW(WS_EX_TOPMOST, options.className.c_str(), options.title.c_str(),
                             WS_POPUP | WS_CAPTION, 0, 0, ScreenWidth, ScreenHeight, nullptr,
                             nullptr, instance, nullptr);
    if (!window)
        return 1;
    CreateControls();
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(snoozeButton);
    if (options.closeAfter)
        SetTimer(window, CloseTimer, options.closeAfter, nullptr);
    Report(L"opened " + options.title);

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Keys go to whichever control has the focus; the window answers them all itself, so
        // that posted keys and typed ones move through the same places.
        if (message.message == WM_KEYDOWN && GetAncestor(message.hwnd, GA_ROOT) == window) {
            OnKey(message.wParam);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
