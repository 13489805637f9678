// The never-shown main window, the notification icon, and the About box.
#pragma once

#include <windows.h>
#include <shellapi.h>

// The first-version NOTIFYICONDATAA: 88 bytes.
extern NOTIFYICONDATAA trayIconData;

BOOL AddTrayIcon();

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
