// The process-wide handles and paths, and the failure report.
#include "common/process.h"
#include "platform/message_box.h"

HINSTANCE AppInstance;
PathBuffer ModulePath;
HWND MainWindow;
HWND MenuBar;
HWND SettingsPanel;

bool ReportFailure(LPCWSTR text) {
    // One box at a time: closing a box inside another would enable the main window under the
    // outer one.
    static bool open = false;
    if (open)
        return false;
    open = true;
    plat::MessageBoxW(MainWindow, text, L"Nudgebell+", MB_ICONHAND);
    open = false;
    return true;
}
