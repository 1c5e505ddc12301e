// The simulated device's clock, sound, keyboard and shell.
#include "platform/clock.h"
#include "platform/keyboard.h"
#include "platform/shell.h"
#include "platform/sound.h"
#include "tests/fake/log.h"

using fake::device;
using fake::Log;

namespace plat {

void GetLocalTime(SYSTEMTIME *now) {
    Log(L"GetLocalTime");
    *now = fake::LocalTime();
}

BOOL CeRunAppAtTime(LPCWSTR program, const SYSTEMTIME *when) {
    Log(L"CeRunAppAtTime", program);
    device().wakeups.push_back(fake::Wakeup{program, when ? *when : SYSTEMTIME{}});
    return device().wakeupResult;
}

MMRESULT waveOutGetVolume(HWAVEOUT wave, DWORD *volume) {
    Log(L"waveOutGetVolume", reinterpret_cast<ULONG_PTR>(wave));
    if (device().volumeReadResult == MMSYSERR_NOERROR && volume)
        *volume = device().volume;
    return device().volumeReadResult;
}

MMRESULT waveOutSetVolume(HWAVEOUT wave, DWORD volume) {
    Log(L"waveOutSetVolume", reinterpret_cast<ULONG_PTR>(wave), volume);
    if (device().volumeWriteResult == MMSYSERR_NOERROR)
        device().volume = volume;
    return device().volumeWriteResult;
}

void AudioUpdateFromRegistry() {
    Log(L"AudioUpdateFromRegistry");
}

BOOL sndPlaySoundW(LPCWSTR sound, UINT flags) {
    Log(L"sndPlaySoundW", sound, flags);
    device().sounds.push_back(fake::SoundPlay{sound, flags, device().now});
    if (device().whilePlaying)
        device().whilePlaying();
    device().now += device().soundDuration;
    return TRUE;
}

BOOL PostKeybdMessage(HWND window, UINT virtualKey, UINT keyStateFlags, UINT characterCount,
                      UINT *shiftStates, UINT *characters) {
    Log(L"PostKeybdMessage", window, virtualKey, keyStateFlags, characterCount);
    device().keys.push_back(fake::KeyPost{window, virtualKey, keyStateFlags, characterCount,
                                          shiftStates ? shiftStates[0] : 0,
                                          characters ? characters[0] : 0, device().now});
    return TRUE;
}

BOOL SHCreateMenuBar(SHMENUBARINFO *info) {
    Log(L"SHCreateMenuBar", info->cbSize, info->hwndParent, info->dwFlags, info->nToolBarId);
    if (device().menuBarFails)
        return FALSE;
    info->hwndMB = fake::OpenWindow(L"menu_worker", L"");
    fake::Find(info->hwndMB)->parent = info->hwndParent;
    return TRUE;
}

BOOL SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO *info,
                        DWORD flags) {
    Log(L"SHHandleWMActivate", window, wParam, lParam, info ? info->cbSize : 0, flags);
    return TRUE;
}

BOOL SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO *info) {
    Log(L"SHHandleWMSettingChange", window, wParam, lParam, info ? info->cbSize : 0);
    return TRUE;
}

BOOL SHInitDialog(SHINITDLGINFO *info) {
    Log(L"SHInitDialog", info->dwMask, info->hDlg, info->dwFlags);
    return TRUE;
}

BOOL SHGetSpecialFolderPath(HWND owner, LPWSTR path, int folder, BOOL create) {
    Log(L"SHGetSpecialFolderPath", owner, folder, create);
    const std::wstring &startup = device().startupFolder;
    if (startup.size() >= MAX_PATH)
        return FALSE;
    startup.copy(path, startup.size());
    path[startup.size()] = L'\0';
    return !startup.empty();
}

DWORD SHCreateShortcut(LPWSTR shortcut, LPWSTR target) {
    Log(L"SHCreateShortcut", shortcut, target);
    if (device().shortcutResult) {
        device().shortcuts.emplace_back(shortcut, target);
        device().files.push_back(shortcut);
    }
    return device().shortcutResult;
}

} // namespace plat
