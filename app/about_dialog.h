// The About box: the icon, the version line and OK.
#pragma once

#include <windows.h>

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Modal, owned by MainWindow, so that MainDialog stays usable meanwhile.
void ShowAboutBox();
