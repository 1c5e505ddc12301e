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
};
constexpr DWORD Kept = 0x80008000; // the device's level until the program forces one

struct Device {
    std::set<std::wstring> keys;
    std::map<std::wstring, Value> registry;                  // "key\name"
    ULONGLONG now = 0, firstKeyAt = 0;                       // local time in milliseconds
    UINT period = 0;                                         // the watch timer's; 0 when killed
    std::set<std::pair<std::wstring, std::wstring>> windows; // class, title
    std::vector<Play> plays;
    DWORD level = Kept;
    std::string keysTyped; // D, U, E for Down, Up, Enter
    std::wstring commandLine, startupFolder = L"C:\\Startup";
    std::vector<SYSTEMTIME> wakeUps;
    Texts boxes, shortcuts; // "caption: text"; "made PATH -> TARGET", "deleted PATH"
    int windowsMade = 0;
    bool writesFail = false, levelUnreadable = false, wakeUpFails = false, shortcutFails = false;
    bool modulePathFails = false, ownForeground = false;
    std::function<void()> inPlay, inBox, onSleep; // each runs once, never nested in itself
};
extern Device device;

constexpr wchar_t SettingsKey[] = L"Software\\Quarnel\\NudgebellPlus\\";
constexpr wchar_t Module[] = L"C:\\Programs\\nudgebellplus.exe";
inline const wchar_t *const Titles[] = {L"Reminder", L"Erinnerung",  L"Aviso",
                                        L"Rappel",   L"Напоминание", L"Promemoria"};
void Reset(); // a new device, default Settings and WatchState; local time 1 June 2004 14:05:10
void Tick();  // the watch timer's next expiry
void Store(const std::wstring &name, DWORD type, const std::vector<BYTE> &bytes); // settings
ULONGLONG Ms(const SYSTEMTIME &time);

} // namespace seam
