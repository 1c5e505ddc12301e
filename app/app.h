// Start-up, the main window and the About box: the process-wide handles and their operations.
#pragma once
#include "platform/platform.h"
#include "platform/shell.h"

#include <array>

// Path and name buffers hold 260 characters including the terminator.
constexpr int PathCapacity = 260;
using PathBuffer = std::array<wchar_t, PathCapacity>;

extern HINSTANCE AppInstance;
extern PathBuffer ModulePath;
extern HWND MainWindow;
extern HWND MenuBar;
extern HWND SettingsPanel;
extern plat::SHACTIVATEINFO ActivationInfo;

constexpr UINT_PTR WatchTimer = 1;
constexpr UINT PollInterval = 5000;

// Start-up
int ProgramEntry(HINSTANCE instance, int showCommand);
bool StartInstance(HINSTANCE instance, int showCommand);
bool ReadModulePath();
// Tells the user that the platform call named in `text` failed: a modal box with the stop sign,
// owned by the main window once there is one. Ticks go on in its modal loop, so a failure may
// come while a box is open: then nothing is shown and the answer is false.
bool ReportFailure(LPCWSTR text);
// Whether `keyword` stands anywhere in `commandLine`, letter case included.
bool CommandLineHas(LPCWSTR commandLine, LPCWSTR keyword);

// Main window
ATOM RegisterMainWindowClass(HINSTANCE instance, LPCWSTR className);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
HWND CreateMenuBar(HWND window);
void TearDownMainWindow();
void StartWatchTimer();

// About box
INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
