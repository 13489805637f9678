#include "app/main_window.h"
// placeholder until implemented
NOTIFYICONDATAA trayIconData;
BOOL AddTrayIcon() { return FALSE; }
LRESULT CALLBACK MainWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }
INT_PTR CALLBACK AboutDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
