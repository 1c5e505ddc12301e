// The settings panel: the modeless dialog that fills the main window.
#pragma once
#include "platform/platform.h"

INT_PTR CALLBACK SettingsPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);
