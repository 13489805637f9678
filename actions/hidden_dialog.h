// The Hidden/Cloaked Windows dialog: lists the windows the program has
// hidden or cloaked, and brings back one or all of them.
#pragma once

#include <windows.h>

// Modal, owned by owner; returns IDOK or IDCANCEL as the dialog was left.
INT_PTR ShowHiddenWindowsDialog(HWND owner);
