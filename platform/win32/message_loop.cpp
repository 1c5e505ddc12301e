// The message loop's calls.
#include "platform/message_loop.h"

namespace plat {

BOOL GetMessageW(MSG *message, HWND window, UINT first, UINT last) {
    return ::GetMessageW(message, window, first, last);
}

int TranslateAcceleratorW(HWND window, HACCEL table, MSG *message) {
    return table ? ::TranslateAcceleratorW(window, table, message) : 0;
}

BOOL TranslateMessage(const MSG *message) {
    return ::TranslateMessage(message);
}

LRESULT DispatchMessageW(const MSG *message) {
    return ::DispatchMessageW(message);
}

} // namespace plat
