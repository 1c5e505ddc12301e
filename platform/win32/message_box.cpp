// Message boxes.
#include "platform/message_box.h"

namespace plat {

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
    return ::MessageBoxW(owner, text, caption, style);
}

} // namespace plat
