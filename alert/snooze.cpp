// The snooze keystrokes: typed into whichever window has the keyboard focus, as long as the
// reminder whose series has ended is the window in front.
#include "alert/alert.h"
#include "platform/keyboard.h"
#include "platform/process.h"
#include "platform/window.h"
#include "settings/settings.h"

namespace {

constexpr DWORD KeyPause = 50; // milliseconds, so that the reminder keeps up with the keys

// The entries of the snooze list run from 0 ("5 minutes") to 5 ("2 hours").
constexpr DWORD LastSnoozeChoice = 5;

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

void SendSnoozeKeys(HWND reminder) {
    std::array<UINT, MaxSnoozeKeys> keys{};
    size_t count = SnoozeKeys(Settings.SnoozeChoice, keys);
    for (size_t i = 0; i < count; ++i) {
        if (i > 0)
            plat::Sleep(KeyPause);
        // Checked right before every key: the keys go to the focus of the window in front, and
        // Down, Up and Enter in any other window (our own panel, the user's work) would change
        // what is not the reminder's.
        if (plat::GetForegroundWindow() != reminder)
            return;
        PostKey(keys[i]);
    }
}

void PostKey(UINT keyCode) {
    UINT shiftState = plat::KeyStateDownFlag;
    UINT character = keyCode;
    HWND focusWindow = reinterpret_cast<HWND>(-1);
    plat::PostKeybdMessage(focusWindow, keyCode, plat::KeyStateDownFlag, 1, &shiftState,
                           &character);
}
