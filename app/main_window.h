// The never-shown main window and the notification icon.
#pragma once

#include <windows.h>

// Registers the class of MainWindow ("BRASK2"); returns its large icon.
HICON RegisterMainWindowClass(HINSTANCE instance);

// The icon of MainWindow in the notification area. Added again by itself
// when the shell starts anew, aside, without waiting for the shell; removed
// once at the end, waiting for a hung shell a second at most.
BOOL AddTrayIcon(HICON smallIcon);
void RemoveTrayIcon();
