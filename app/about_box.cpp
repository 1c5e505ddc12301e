// The About box: the program's icon, name, version and credits.
#include "app/app.h"
#include "platform/dialog.h"
#include "platform/shell.h"

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        plat::SHINITDLGINFO info{};
        info.dwMask = plat::SHIDIM_FLAGS;
        info.hDlg = dialog;
        info.dwFlags =
            plat::SHIDIF_DONEBUTTON | plat::SHIDIF_SIZEDLGFULLSCREEN | plat::SHIDIF_SIPDOWN;
        plat::SHInitDialog(&info);
        return TRUE;
    }
    case WM_COMMAND:
        // OK and the caption's Done button both send 1; cancel leaves the box open.
        if (LOWORD(wParam) == IDOK) {
            plat::EndDialog(dialog, IDOK);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
