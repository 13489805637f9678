// The Hidden/Cloaked Windows dialog: lists the windows the program has
// hidden or cloaked, and brings back one or all of them.
#pragma once

#include <windows.h>

INT_PTR CALLBACK HiddenWindowsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
