// Start-up, the main window and the About box.
#pragma once
#include "common/process.h"
#include "platform/shell.h"

extern plat::SHACTIVATEINFO ActivationInfo;

// Start-up
int ProgramEntry(HINSTANCE instance, int showCommand);
bool StartInstance(HINSTANCE instance, int showCommand);
// The program's own path into ModulePath; false (and told) when the system cannot give it whole.
bool ReadModulePath();
// Whether `keyword` stands anywhere in `commandLine`, letter case included.
bool CommandLineHas(LPCWSTR commandLine, LPCWSTR keyword);

// Main window
ATOM RegisterMainWindowClass(HINSTANCE instance, LPCWSTR className);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
HWND CreateMenuBar(HWND window);
void TearDownMainWindow();

// About box
INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
