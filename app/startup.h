// Start-up pieces of the application shell that WinMain calls and tests
// exercise on their own: the failure box, the library search, and the
// safety net that gives other programs' windows back if this one crashes.
#pragma once

#include <windows.h>

// Shows the system's text for the thread's last error in a box captioned
// with name. A code without a system text is shown as the code itself.
void ShowLastError(const char *name);

// Takes the working directory out of the library search, so that a
// brask2.dll planted there is never loaded in place of ours.
void ExcludeWorkingDirectoryFromDllSearch();

// Registers the classes of MainWindow ("BRASK2") and PickerWindow
// ("BraskCap"); returns the large application icon for MainDialog.
HICON RegisterWindowClasses(HINSTANCE instance);

// Cloaked windows are children of MainWindow and die with our process;
// from here on a crash first gives every hidden and cloaked window back.
void RestoreWindowsOnCrash();
