// The process-wide handles and paths, and the failure report: what every layer may use, so that
// none of settings/, watch/ or alert/ needs a header of app/.
#pragma once
#include "platform/platform.h"

#include <array>

// Path and name buffers hold 260 characters including the terminator.
constexpr int PathCapacity = 260;
using PathBuffer = std::array<wchar_t, PathCapacity>;

// Set once at start-up (app/), read everywhere.
extern HINSTANCE AppInstance;
extern PathBuffer ModulePath;
extern HWND MainWindow;
extern HWND MenuBar;
extern HWND SettingsPanel;

// Tells the user that the platform call named in `text` failed: a modal box with the stop sign,
// owned by the main window once there is one. Ticks go on in its modal loop, so a failure may
// come while a box is open: then nothing is shown and the answer is false.
bool ReportFailure(LPCWSTR text);
