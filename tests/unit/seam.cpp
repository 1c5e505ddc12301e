#include "tests/unit/seam.h"
#include "app/app.h"
#include "platform/dialog.h"
#include "platform/files.h"
#include "platform/sound.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "watch/watch_cycle.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace seam {

Device device;

// clang-format off
void Reset() { device = Device{}; device.now = Ms({2004, 6, 2, 1, 14, 5, 10, 0}); Settings = SettingsRecord{}; WatchState = WatchStateRecord{}; std::wcscpy(ModulePath.data(), Module); ArmWatchTimer(PollInterval); }
void Store(const std::wstring &name, DWORD type, const std::vector<BYTE> &bytes) { device.keys.insert(std::wstring(SettingsKey, std::size(SettingsKey) - 2)); device.registry[SettingsKey + name] = {type, bytes}; }
HWND Open(const std::wstring &title, const std::wstring &className) { static INT_PTR made = 0x100; device.windows[HWND(made += 2)] = {className, title}; return device.foreground = HWND(made); }
void Close(HWND window) { device.windows.erase(window); if (device.foreground == window) device.foreground = device.windows.empty() ? nullptr : device.windows.begin()->first; }
void Tick() { device.now = std::max(device.now, device.due); device.due += device.period; WatchTick(); } // periodic, as the system's
ULONGLONG Ms(const SYSTEMTIME &time) { ULARGE_INTEGER file{}; ::SystemTimeToFileTime(&time, reinterpret_cast<FILETIME *>(&file)); return file.QuadPart / 10000; }
void Once(std::function<void()> &hook) { if (auto run = std::exchange(hook, nullptr)) { run(); hook = run; } }
HKEY Handle(const std::wstring &path) { return HKEY(&*device.keys.insert(path).first); }
// A list's entry added; the sound list is sorted, as the panel's resource makes it.
int Add(Texts &items, LPCWSTR item, bool sorted) { auto at = sorted ? std::ranges::find_if(items, [&](const std::wstring &i) { return _wcsicmp(i.c_str(), item) > 0; }) : items.end(); at = items.insert(at, item); return int(at - items.begin()); }
std::wstring Name(HKEY key, LPCWSTR name) { return *reinterpret_cast<const std::wstring *>(key) + L"\\" + name; }
// clang-format on

} // namespace seam

using seam::device;

// One line per stand-in. What no test looks at answers nothing.
// clang-format off
#define NOTHING(result, name, ...) result name(__VA_ARGS__) { return result(); }
namespace plat {
NOTHING(HWND, CreateDialogIndirectParamW, HINSTANCE, DialogTemplate, HWND, DLGPROC, LPARAM)
NOTHING(INT_PTR, DialogBoxIndirectParamW, HINSTANCE, DialogTemplate, HWND, DLGPROC, LPARAM)
NOTHING(BOOL, EndDialog, HWND, INT_PTR)
NOTHING(BOOL, FindClose, HANDLE)
NOTHING(int, TranslateAcceleratorW, HWND, HACCEL, MSG *)
NOTHING(BOOL, TranslateMessage, const MSG *)
NOTHING(LRESULT, DispatchMessageW, const MSG *)
NOTHING(int, LoadStringW, HINSTANCE, UINT, LPWSTR, int)
NOTHING(HICON, LoadIconW, HINSTANCE, LPCWSTR)
NOTHING(HACCEL, LoadAcceleratorsW, HINSTANCE, LPCWSTR)
NOTHING(HGDIOBJ, GetStockObject, int)
NOTHING(HRSRC, FindResourceW, HMODULE, LPCWSTR, LPCWSTR)
NOTHING(HGLOBAL, LoadResource, HMODULE, HRSRC)
NOTHING(DWORD, SizeofResource, HMODULE, HRSRC)
NOTHING(BOOL, SHCreateMenuBar, SHMENUBARINFO *)
NOTHING(BOOL, SHHandleWMActivate, HWND, WPARAM, LPARAM, SHACTIVATEINFO *, DWORD)
NOTHING(BOOL, SHHandleWMSettingChange, HWND, WPARAM, LPARAM, SHACTIVATEINFO *)
NOTHING(BOOL, SHInitDialog, SHINITDLGINFO *)
NOTHING(void, AudioUpdateFromRegistry)
NOTHING(ATOM, RegisterClassW, const WNDCLASSW *)
NOTHING(BOOL, ShowWindow, HWND, int)
NOTHING(BOOL, ShowWindowAsync, HWND, int)
NOTHING(BOOL, UpdateWindow, HWND)
NOTHING(BOOL, SetForegroundWindow, HWND)
NOTHING(BOOL, MoveWindow, HWND, int, int, int, int, BOOL)
NOTHING(BOOL, GetWindowRect, HWND, RECT *)
NOTHING(BOOL, GetClientRect, HWND, RECT *)
NOTHING(BOOL, ScreenToClient, HWND, POINT *)
NOTHING(BOOL, DestroyWindow, HWND)
NOTHING(LRESULT, DefWindowProcW, HWND, UINT, WPARAM, LPARAM)
NOTHING(LRESULT, SendMessageW, HWND, UINT, WPARAM, LPARAM)
NOTHING(void, PostQuitMessage, int)
NOTHING(LONG, RegCloseKey, HKEY)

BOOL GetMessageW(MSG *, HWND, UINT, UINT) { return device.queueErrors && device.queueErrors-- ? -1 : 0; }
LPCWSTR GetCommandLineW() { return device.commandLine.c_str(); }
DWORD GetModuleFileNameW(HMODULE, LPWSTR path, DWORD) { return device.modulePathFails ? 0 : std::wcslen(std::wcscpy(path, seam::Module)); }
void Sleep(DWORD milliseconds) { device.now += milliseconds; seam::Once(device.onSleep); }
HWND GetForegroundWindow() { return device.foreground; }
HWND FindWindowExW(HWND, HWND after, LPCWSTR name, LPCWSTR title) { auto w = after ? device.windows.upper_bound(after) : device.windows.begin(); while (w != device.windows.end() && w->second != std::pair<std::wstring, std::wstring>(name, title)) ++w; return w == device.windows.end() ? nullptr : w->first; }
HWND FindWindowW(LPCWSTR name, LPCWSTR title) { return FindWindowExW(nullptr, nullptr, name, title); }
HANDLE CreateMutexW(SECURITY_ATTRIBUTES *, BOOL, LPCWSTR) { device.lastError = device.otherCopy ? ERROR_ALREADY_EXISTS : 0; return HANDLE(1); }
DWORD GetLastError() { return device.lastError; }
DWORD WaitForSingleObject(HANDLE, DWORD milliseconds) { device.now += milliseconds; return device.otherCopy == 2 ? WAIT_ABANDONED : WAIT_TIMEOUT; }
HWND CreateWindowExW(DWORD, LPCWSTR, LPCWSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE, LPVOID) { return HWND(INT_PTR(++device.windowsMade + 1)); }
UINT_PTR SetTimer(HWND, UINT_PTR id, UINT milliseconds, TIMERPROC) { device.due = device.now + (device.period = milliseconds); return id; }
BOOL KillTimer(HWND, UINT_PTR) { device.period = 0; return TRUE; }
void GetLocalTime(SYSTEMTIME *now) { ULARGE_INTEGER file{.QuadPart = device.now * 10000}; ::FileTimeToSystemTime(reinterpret_cast<FILETIME *>(&file), now); }
BOOL CeRunAppAtTime(LPCWSTR, const SYSTEMTIME *when) { if (!device.wakeUpFails) device.wakeUps.push_back(*when); return !device.wakeUpFails; }
int MessageBoxW(HWND, LPCWSTR text, LPCWSTR caption, UINT style) { device.boxes.push_back(std::to_wstring(style & MB_ICONMASK) + L" " + caption + L": " + text); device.mostBoxesOpen = std::max(device.mostBoxesOpen, ++device.boxesOpen); if (auto loop = device.inBox; loop && device.boxesOpen < 9) loop(); --device.boxesOpen; return IDOK; } // a modal loop: ticks go on inside it, boxes may nest
MMRESULT waveOutGetVolume(HWAVEOUT, DWORD *volume) { *volume = device.level; return device.levelUnreadable ? MMSYSERR_INVALHANDLE : MMSYSERR_NOERROR; }
MMRESULT waveOutSetVolume(HWAVEOUT, DWORD volume) { device.level = volume; return MMSYSERR_NOERROR; }
BOOL sndPlaySoundW(LPCWSTR sound, UINT) { auto m = device.registry.find(std::wstring(VolumeMirrorKey) + L"\\" + VolumeMirrorValue); device.plays.push_back({sound, device.level, device.now, m == device.registry.end() ? seam::Kept : *reinterpret_cast<const DWORD *>(m->second.bytes.data())}); seam::Once(device.inPlay); return TRUE; }
HWND GetDlgItem(HWND, int id) { return HWND(INT_PTR(id)); }
UINT GetDlgItemTextW(HWND, int id, LPWSTR text, int size) { const seam::Control &c = device.controls[id]; std::wstring shown = (c.selected < 0 ? c.text : c.items[c.selected]).substr(0, size - 1); return std::wcslen(std::wcscpy(text, shown.c_str())); }
BOOL SetDlgItemInt(HWND, int id, UINT value, BOOL) { device.controls[id].text = std::to_wstring(value); return TRUE; }
BOOL FindNextFileW(HANDLE, WIN32_FIND_DATAW *found) { if (device.listed == device.files.size()) return FALSE; const std::wstring &name = device.files[device.listed++]; found->dwFileAttributes = name.ends_with(L'\\') ? FILE_ATTRIBUTE_DIRECTORY : 0; std::wcscpy(found->cFileName, name.substr(0, name.find(L'\\')).c_str()); return TRUE; }
HANDLE FindFirstFileW(LPCWSTR, WIN32_FIND_DATAW *found) { device.listed = 0; return plat::FindNextFileW(nullptr, found) ? HANDLE(1) : INVALID_HANDLE_VALUE; }
BOOL PostKeybdMessage(HWND, UINT key, UINT, UINT, UINT *, UINT *) { device.firstKeyAt = device.keysTyped.empty() ? device.now : device.firstKeyAt; device.lastKeyAt = device.now; device.keysTyped += key == VK_DOWN ? 'D' : key == VK_UP ? 'U' : key == VK_RETURN ? 'E' : '?'; device.keysInto[device.foreground] += device.keysTyped.back(); return TRUE; }
BOOL SHGetSpecialFolderPath(HWND, LPWSTR path, int, BOOL) { std::wcsncpy(path, device.startupFolder.c_str(), PathCapacity); return !device.startupFolder.empty(); } // unterminated when long; none: cannot be named
DWORD SHCreateShortcut(LPWSTR path, LPWSTR target) { if (!device.shortcutError) device.shortcuts.push_back(L"made " + std::wstring(path) + L" -> " + target); return !device.shortcutError; }
BOOL DeleteFileW(LPCWSTR path) { device.lastError = device.shortcutError; if (!device.lastError) device.shortcuts.push_back(L"deleted " + std::wstring(path)); return !device.lastError; }
LONG RegOpenKeyExW(HKEY, LPCWSTR key, DWORD, REGSAM, HKEY *handle) { if (!device.keys.count(key)) return ERROR_FILE_NOT_FOUND; *handle = seam::Handle(key); return ERROR_SUCCESS; }
LONG RegCreateKeyExW(HKEY, LPCWSTR key, DWORD, LPWSTR, DWORD, REGSAM, SECURITY_ATTRIBUTES *, HKEY *handle, DWORD *) { *handle = seam::Handle(key); return ERROR_SUCCESS; }
LONG RegDeleteValueW(HKEY key, LPCWSTR name) { return device.registry.erase(seam::Name(key, name)) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND; }
LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE *data, DWORD size) { if (device.writesFail) return ERROR_ACCESS_DENIED; device.registry[seam::Name(key, name)] = {type, {data, data + size}}; return ERROR_SUCCESS; }
// The panel's lists and ticks keep their entries, selection and tick.
LRESULT SendDlgItemMessageW(HWND, int id, UINT message, WPARAM wParam, LPARAM lParam) { seam::Control &c = device.controls[id]; if (message == CB_ADDSTRING) return seam::Add(c.items, LPCWSTR(lParam), id == IDC_SOUND); if (message == CB_SETCURSEL) c.selected = wParam < c.items.size() ? int(wParam) : CB_ERR; if (message == BM_SETCHECK) c.check = wParam; return message == BM_GETCHECK ? c.check : message == CB_GETCURSEL || message == CB_SETCURSEL ? c.selected : 0; }
// clang-format on

// As Windows does: a value larger than the caller's buffer is ERROR_MORE_DATA, nothing copied.
LONG RegQueryValueExW(HKEY key, LPCWSTR name, DWORD *, DWORD *, BYTE *data, DWORD *size) {
    auto found = device.registry.find(seam::Name(key, name));
    if (found == device.registry.end())
        return ERROR_FILE_NOT_FOUND;
    const std::vector<BYTE> &bytes = found->second.bytes;
    const bool fits = *size >= bytes.size();
    std::memcpy(data, bytes.data(), fits ? bytes.size() : 0);
    *size = bytes.size();
    return fits ? ERROR_SUCCESS : ERROR_MORE_DATA;
}

} // namespace plat
