// The settings panel's dialog procedure.
#include "settings/settings_panel.h"

INT_PTR CALLBACK SettingsPanelProc(HWND, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    default:
        return FALSE;
    }
}
