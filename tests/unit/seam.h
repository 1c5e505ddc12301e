// The fault seam: a simulated device that keeps what the user gets and can be made to fail.
#pragma once
#include "platform/platform.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace seam {

using Texts = std::vector<std::wstring>;
struct Value {
    DWORD type;
    std::vector<BYTE> bytes;
};
struct Play {
    std::wstring sound;
    DWORD level; // in force while it played
    ULONGLONG at;
    DWORD mirror; // what the volume mirror held meanwhile
};
constexpr DWORD Kept = 0x80008000; // the device's level until the program forces one
struct Control {
    std::wstring text;
    Texts items; // a list's entries
    int selected = -1;
    WPARAM check = 0;
};

struct Device {
    std::set<std::wstring> keys;
    std::map<std::wstring, Value> registry;           // "key\name"
    ULONGLONG now = 0, firstKeyAt = 0, lastKeyAt = 0; // local time in milliseconds
    UINT period = 0;                                  // the watch timer's; 0 when killed
    ULONGLONG due = 0;                                // its next expiry
    std::map<HWND, std::pair<std::wstring, std::wstring>, std::greater<>> windows; // front first
    HWND foreground = nullptr, ownWindow = HWND(1);
    std::vector<Play> plays;
    DWORD level = Kept;
    std::string keysTyped;                // D, U, E for Down, Up, Enter
    std::map<HWND, std::string> keysInto; // the same, by the window in front
    std::wstring commandLine, startupFolder = L"C:\\Startup";
    std::vector<SYSTEMTIME> wakeUps;
    Texts boxes, shortcuts; // "icon caption: text"; "made PATH -> TARGET", "deleted PATH"
    int windowsMade = 0, boxesOpen = 0, mostBoxesOpen = 0, queueErrors = 0; // GetMessage: -1
    std::map<int, Control> controls; // the settings panel's, by id
    Texts files; // the sound folder's, in the order listed; a folder's name ends in a backslash
    size_t listed = 0;
    bool writesFail = false, levelUnreadable = false, wakeUpFails = false;
    DWORD shortcutError = 0, lastError = 0; // a failed create or delete of the shortcut
    bool modulePathFails = false;
    int otherCopy = 0; // 1: one is starting and never shows a window; 2: one is ending
    std::function<void()> inPlay, onSleep, inBox; // the first two once, unnested; inBox: each box
};
extern Device device;

constexpr wchar_t SettingsKey[] = L"Software\\Quarnel\\NudgebellPlus\\";
constexpr wchar_t Module[] = L"C:\\Programs\\nudgebellplus.exe";
inline const wchar_t *const Titles[] = {L"Reminder", L"Erinnerung",  L"Aviso",
                                        L"Rappel",   L"Напоминание", L"Promemoria"};
void Reset(); // a new device, default Settings and WatchState, polling; local 2004-06-01 14:05:10
void Tick();  // the watch timer's next expiry
HWND Open(const std::wstring &title, const std::wstring &className = L"Dialog"); // in front
void Close(HWND window); // the next window comes in front
void Store(const std::wstring &name, DWORD type, const std::vector<BYTE> &bytes); // settings
ULONGLONG Ms(const SYSTEMTIME &time);

} // namespace seam
