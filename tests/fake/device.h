// The simulated device that unit tests link in place of the real platform: a clock, windows,
// timers, registry, files, and logs of every call, sound, key and message box. Tests set it
// up, run the program's functions against it, and read what happened.
#pragma once
#include "platform/platform.h"
#include <mmsystem.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace fake {

struct Window {
    HWND handle = nullptr;
    std::wstring className;
    std::wstring title;
    HWND parent = nullptr;
    DWORD style = 0;
    bool visible = false;
    bool destroyed = false;
    WNDPROC procedure = nullptr;       // a window of a registered class
    DLGPROC dialogProcedure = nullptr; // a dialog
    RECT rect{};                       // a child's is relative to its parent's client area
    // A dialog's control: its identifier, a combo box's entries and selection, a check state.
    int id = 0;
    std::vector<std::wstring> items;
    int selection = -1;
    WPARAM check = BST_UNCHECKED;
};

struct Timer {
    HWND window = nullptr;
    UINT_PTR id = 0;
    UINT period = 0;
    uint64_t due = 0;
};

struct RegistryValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

struct SoundPlay {
    std::wstring name;
    UINT flags = 0;
    uint64_t at = 0; // milliseconds on the device clock when the play began
};

struct KeyPost {
    HWND window = nullptr;
    UINT virtualKey = 0;
    UINT flags = 0;
    UINT count = 0;
    UINT shiftState = 0;
    UINT character = 0;
    uint64_t at = 0;
};

struct MessageBoxShown {
    HWND owner = nullptr;
    std::wstring text;
    std::wstring caption;
    UINT style = 0;
};

struct Wakeup {
    std::wstring program;
    SYSTEMTIME when{};
};

struct Device {
    // Process
    std::wstring commandLine;
    std::wstring modulePath = L"\\Program Files\\Nudgebell+\\nudgebellplus.exe";
    bool modulePathFails = false;

    // Clock: milliseconds since the device's local time `epoch`.
    uint64_t now = 0;
    SYSTEMTIME epoch{2004, 6, 2, 1, 14, 5, 10, 0}; // Tuesday 1 June 2004 14:05:10

    // Windows and timers
    std::vector<Window> windows;
    std::map<std::wstring, WNDPROC> classes;
    std::vector<Timer> timers;
    bool menuBarFails = false;
    bool dialogFails = false;
    bool quitPosted = false;
    int quitCode = -1;
    std::vector<MSG> queue; // messages that GetMessageW hands out, front first

    // Registry, by "HKCU\path" in lower case, then value name in lower case.
    std::map<std::wstring, std::map<std::wstring, RegistryValue>> registry;
    std::vector<std::wstring> failingKeys;   // paths (lower case) that cannot be opened or created
    std::vector<std::wstring> failingValues; // value names whose writes fail

    // Files: full paths, in the order a search yields them.
    std::vector<std::wstring> files;

    // Sound
    DWORD volume = 0x80008000;
    MMRESULT volumeReadResult = MMSYSERR_NOERROR;
    MMRESULT volumeWriteResult = MMSYSERR_NOERROR;
    uint64_t soundDuration = 500;
    std::function<void()> whilePlaying; // runs while a sound plays, before it ends
    std::vector<SoundPlay> sounds;

    // Keyboard, wake-ups, shell, message boxes
    std::vector<KeyPost> keys;
    BOOL wakeupResult = TRUE;
    std::vector<Wakeup> wakeups;
    std::wstring startupFolder = L"\\Windows\\StartUp";
    DWORD shortcutResult = 1;
    std::vector<std::pair<std::wstring, std::wstring>> shortcuts; // path, target
    std::vector<MessageBoxShown> messageBoxes;
    std::function<void()> whileMessageBoxOpen;
    std::function<void(HWND dialog)> whileModalOpen;

    // Every platform call, in order, as "Name arg, arg"; long runs may switch the log off.
    std::vector<std::wstring> calls;
    bool logCalls = true;
    // Runs after each timer message that RunFor delivers, with the time it fell due.
    std::function<void(uint64_t due)> afterTimer;
};

// The device of the running test; Reset() gives a new one.
Device &device();
void Reset();

// The handle that the n-th window the device creates gets, counting from 1.
HWND HandleOfWindow(size_t n);

// The controls of a dialog template, made children of `dialog`, with their rectangles in
// pixels of a 6 x 13 character cell. Without a template the dialog has no controls.
void CreateDialogItems(HWND dialog, LPCDLGTEMPLATEW dialogTemplate);

// A window that another program has open, such as a reminder.
HWND OpenWindow(const std::wstring &className, const std::wstring &title);
void CloseWindow(HWND window);
Window *Find(HWND window);

// Advances the clock by `milliseconds`, delivering each timer message that falls due.
void RunFor(uint64_t milliseconds);
const Timer *FindTimer(HWND window, UINT_PTR id);

// The calls logged so far whose text starts with `prefix`.
std::vector<std::wstring> CallsStartingWith(const std::wstring &prefix);
// Position of the first call starting with `prefix`, or -1.
int IndexOfCall(const std::wstring &prefix);

// How windows appear in the call log: "w1", "w2", ... in creation order, "0" for none.
std::wstring Describe(HWND window);

// Registry helpers, paths as "HKCU\Software\...".
void SetDword(const std::wstring &key, const std::wstring &name, DWORD value);
void SetValue(const std::wstring &key, const std::wstring &name, DWORD type,
              const std::vector<BYTE> &data);
const RegistryValue *GetValue(const std::wstring &key, const std::wstring &name);
bool KeyExists(const std::wstring &key);

// Local time on the device clock.
SYSTEMTIME LocalTime();
void SetLocalTime(const SYSTEMTIME &time);

} // namespace fake
