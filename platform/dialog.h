// Dialogs made from the program's templates, and their controls.
#pragma once
#include "platform/platform.h"

namespace plat {

// A dialog template as the resources hold it (LoadResource, SizeofResource): the template is
// copied whole, so its size goes with it.
struct DialogTemplate {
    LPCDLGTEMPLATEW data;
    DWORD size;
};

// Unlike the system's calls, both take the template with its size. Handheld-only template bits
// are dropped before the system sees the template, and the common controls exist before any
// dialog.
HWND CreateDialogIndirectParamW(HINSTANCE instance, DialogTemplate dialogTemplate, HWND parent,
                                DLGPROC procedure, LPARAM param);
INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, DialogTemplate dialogTemplate, HWND owner,
                                DLGPROC procedure, LPARAM param);
BOOL EndDialog(HWND dialog, INT_PTR result);
HWND GetDlgItem(HWND dialog, int id);
LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int capacity);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);

} // namespace plat
