#include "actions/hidden_dialog.h"
// placeholder until implemented
INT_PTR CALLBACK HiddenWindowsDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
