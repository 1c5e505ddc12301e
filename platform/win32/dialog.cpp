// Dialogs from the program's templates, freed of what only the handheld knows.
#include "platform/dialog.h"
#include "platform/win32/win32_internal.h"

#include <commctrl.h>

#include <array>
#include <cstring>

namespace plat {

namespace {

// The handheld's "OK button in the caption" extended style. Desktop systems do not define the
// bit; SHInitDialog gives the box its desktop caption button instead.
constexpr DWORD CaptionOkButton = 0x80000000;

void InitCommonControlsOnce() {
    static bool done = false;
    if (done)
        return;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    done = true;
}

// The system reads a template only while it creates the dialog, so a copy on the stack
// serves; the program's templates are far smaller.
using TemplateCopy = std::array<DWORD, 2048>;

// Copies the template without the handheld-only bit. DLGTEMPLATEEX starts with version 1 and
// the signature 0xFFFF, and keeps its extended style at byte 8; DLGTEMPLATE at byte 4.
LPCDLGTEMPLATEW DesktopTemplate(DialogTemplate dialogTemplate, TemplateCopy &copy) {
    DWORD size = dialogTemplate.size;
    if (!dialogTemplate.data || size < sizeof(DLGTEMPLATE) || size > sizeof copy)
        return nullptr;
    std::memcpy(copy.data(), dialogTemplate.data, size);
    auto *words = reinterpret_cast<const WORD *>(copy.data());
    bool extended = words[0] == 1 && words[1] == 0xFFFF;
    copy[extended ? 2 : 1] &= ~CaptionOkButton;
    return reinterpret_cast<LPCDLGTEMPLATEW>(copy.data());
}

} // namespace

HWND CreateDialogIndirectParamW(HINSTANCE instance, DialogTemplate dialogTemplate, HWND parent,
                                DLGPROC procedure, LPARAM param) {
    InitCommonControlsOnce();
    TemplateCopy copy;
    LPCDLGTEMPLATEW desktop = DesktopTemplate(dialogTemplate, copy);
    if (!desktop)
        return nullptr;
    return ::CreateDialogIndirectParamW(instance, desktop, parent, procedure, param);
}

INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, DialogTemplate dialogTemplate, HWND owner,
                                DLGPROC procedure, LPARAM param) {
    InitCommonControlsOnce();
    TemplateCopy copy;
    LPCDLGTEMPLATEW desktop = DesktopTemplate(dialogTemplate, copy);
    if (!desktop)
        return -1;
    return ::DialogBoxIndirectParamW(instance, desktop, owner, procedure, param);
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    return ::EndDialog(dialog, result);
}

HWND GetDlgItem(HWND dialog, int id) {
    return ::GetDlgItem(dialog, id);
}

LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendDlgItemMessageW(dialog, id, message, wParam, lParam);
}

UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int capacity) {
    return ::GetDlgItemTextW(dialog, id, text, capacity);
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
    return ::SetDlgItemInt(dialog, id, value, isSigned);
}

} // namespace plat
