// The snooze keystrokes: typed into whichever window has the keyboard focus, which is the
// reminder window that the watch cycle has just found.
#include "alert/alert.h"
#include "platform/keyboard.h"
#include "platform/process.h"
#include "settings/settings.h"

namespace {

constexpr UINT KeyStateDownFlag = 0x80;
constexpr DWORD KeyPause = 50; // milliseconds, so that the reminder keeps up with the keys

// The entries of the snooze list run from 0 ("5 minutes") to 5 ("2 hours").
constexpr DWORD LastSnoozeChoice = 5;

void PostAndPause(UINT keyCode) {
    PostKey(keyCode);
    plat::Sleep(KeyPause);
}

} // namespace

void SendSnoozeKeys() {
    // Down three times and Up once leave the focus on the first duration; each further Down
    // moves one entry on. A choice that names no entry (a stray stored value, or the list's
    // "no selection") takes the first, the default: the reminder comes back soonest, and the
    // sequence stays as short as the list.
    DWORD choice = Settings.SnoozeChoice <= LastSnoozeChoice ? Settings.SnoozeChoice : 0;
    PostAndPause(VK_DOWN);
    PostAndPause(VK_DOWN);
    PostAndPause(VK_DOWN);
    PostAndPause(VK_UP);
    for (DWORD i = 0; i < choice; ++i)
        PostAndPause(VK_DOWN);
    PostKey(VK_RETURN);
}

void PostKey(UINT keyCode) {
    UINT shiftState = KeyStateDownFlag;
    UINT character = keyCode;
    HWND focusWindow = reinterpret_cast<HWND>(-1);
    plat::PostKeybdMessage(focusWindow, keyCode, KeyStateDownFlag, 1, &shiftState, &character);
}
