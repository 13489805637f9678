// The main dialog: rule list, event list and every command of the program.
#pragma once

#include <windows.h>

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Moves a top-level window to the middle of the full-screen area.
void CenterWindow(HWND window);
