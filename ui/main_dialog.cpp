#include "ui/main_dialog.h"
// placeholder until implemented
INT_PTR CALLBACK MainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
void CenterWindow(HWND) {}
