// The program's private window messages, all above WM_APP. The hook library
// is handed the numbers of its two reports by InstallHook.
#pragma once

#include <windows.h>

constexpr UINT WM_TRAYICON = WM_APP + 100;      // to MainWindow; lParam = mouse message
constexpr UINT WM_WINDOWPICKED = WM_APP + 101;  // to the rule editor; lParam = window
constexpr UINT WM_HOOKCREATE = WM_APP + 102;    // to MainDialog; wParam = created window
constexpr UINT WM_HOOKIGNORED = WM_APP + 103;   // handed to InstallHook, never acted on
constexpr UINT WM_HOOKACTIVATE = WM_APP + 104;  // to MainDialog; wParam = activated window
constexpr UINT WM_REFRESHRULES = WM_APP + 105;  // to MainDialog; wParam = row, or -1 for all

static_assert(WM_TRAYICON == 32868 && WM_REFRESHRULES == 32873, "message numbers are fixed");
