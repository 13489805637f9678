// Where window events enter the program, and the event list in which every
// event and every action is shown: the list view of MainDialog.
#pragma once

#include "rules/rule_effects.h"

#include <windows.h>

#include <cstdint>

// WM_HOOKCREATE or WM_HOOKACTIVATE reported for window: queued, a Create
// report for the event delay in force now.
void HandleWindowEvent(UINT message, HWND window);

// Stores the delay and formats its label; touches no window. Exported for the
// tests: the program sets the delay only from the trackbar.
void SetEventDelay(int ms);

// Trackbar range, ticks and position, the delay and its label, then the four
// columns of the event list: the set-up MainDialog does at initialisation.
void InitEventControls(HWND dialog);

// The event list's columns widened or narrowed for the dialog's new DPI
// (WM_DPICHANGED), each in proportion.
void ScaleEventColumns(HWND dialog, UINT dpi);

// WM_HSCROLL from the delay trackbar.
void OnEventDelayScroll(HWND dialog);

// One row at the top of the event list, which keeps at most 100 rows.
// LogAction (rules/rule_effects.h) is defined here and writes the same row.
// Exported for the tests: the program writes rows only through HandleReport
// and LogAction.
void LogEvent(HWND window, int32_t event, const char *title, const char *className);

// The rules over every visible top-level window, for any event; no event row.
void ApplyRulesToOpenWindows();

// Removes every row of the event list.
void ClearEventLog();
