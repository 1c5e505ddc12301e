// The snooze keystrokes: typed into whichever window has the keyboard focus, which is the
// reminder window that the watch cycle has just found, unless it is one of our own.
#include "alert/alert.h"
#include "platform/keyboard.h"
#include "platform/process.h"
#include "platform/window.h"
#include "settings/settings.h"

namespace {

constexpr UINT KeyStateDownFlag = 0x80;
constexpr DWORD KeyPause = 50; // milliseconds, so that the reminder keeps up with the keys

// The entries of the snooze list run from 0 ("5 minutes") to 5 ("2 hours").
constexpr DWORD LastSnoozeChoice = 5;

// The focus lives in the foreground thread: when that thread is ours, the keys would land in
// our own panel (the "for" list, say) and change settings that the next save would keep.
bool FocusIsOwn() {
    DWORD process = 0;
    plat::GetWindowThreadProcessId(plat::GetForegroundWindow(), &process);
    return process == plat::GetCurrentProcessId();
}

} // namespace

size_t SnoozeKeys(DWORD choice, std::span<UINT, MaxSnoozeKeys> keys) {
    // Down three times and Up once leave the focus on the first duration; each further Down
    // moves one entry on. A choice that names no entry (a stray stored value, or the list's
    // "no selection") takes the first, the default: the reminder comes back soonest, and the
    // sequence stays as short as the list.
    if (choice > LastSnoozeChoice)
        choice = 0;
    size_t count = 0;
    for (UINT key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_UP})
        keys[count++] = key;
    for (DWORD i = 0; i < choice; ++i)
        keys[count++] = VK_DOWN;
    keys[count++] = VK_RETURN;
    return count;
}

void SendSnoozeKeys() {
    std::array<UINT, MaxSnoozeKeys> keys{};
    size_t count = SnoozeKeys(Settings.SnoozeChoice, keys);
    for (size_t i = 0; i < count; ++i) {
        if (i > 0)
            plat::Sleep(KeyPause);
        // Checked right before every key: the user may bring the panel forward at any time.
        if (FocusIsOwn())
            return;
        PostKey(keys[i]);
    }
}

void PostKey(UINT keyCode) {
    UINT shiftState = KeyStateDownFlag;
    UINT character = keyCode;
    HWND focusWindow = reinterpret_cast<HWND>(-1);
    plat::PostKeybdMessage(focusWindow, keyCode, KeyStateDownFlag, 1, &shiftState, &character);
}
