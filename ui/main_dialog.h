// The main dialog: rule list, event list and every command of the program.
#pragma once

#include <windows.h>

// Creates MainDialog, modeless, hidden and without an owner; null on failure.
HWND CreateMainDialog();
