// The message loop's calls.
#include "platform/message_loop.h"
#include "platform/win32/win32_internal.h"

namespace plat {

BOOL GetMessageW(MSG *message, HWND window, UINT first, UINT last) {
    // While a scheduled start is pending, its timer is waited for beside the messages. Else
    // the plain call: a look at the queue first would cost a server request for every message.
    while (win32::AwaitInputOrStart())
        if (::PeekMessageW(message, window, first, last, PM_REMOVE))
            return message->message != WM_QUIT;
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
