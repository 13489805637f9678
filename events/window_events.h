// Where window events enter the program, and the event list in which every
// event and every action is shown: the list view of MainDialog.
#pragma once

#include "rules/rule_effects.h"

#include <windows.h>

#include <cstdint>

extern int eventDelayMs;

// WM_HOOKCREATE or WM_HOOKACTIVATE reported for window: queued, a Create
// report for the event delay in force now.
void HandleWindowEvent(UINT message, HWND window);

// A report once due: the window's texts as they are now, its event row, then
// the rules.
void HandleReport(HWND window, int32_t event);

// Stores the delay and formats its label; touches no window.
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
void LogEvent(HWND window, int32_t event, const char *title, const char *className);

// Rows go in with the list's redraw off and are painted once no row has come
// for a moment. How long the oldest unpainted row has waited, in ms (0: none).
DWORD UnpaintedRowsAge();

// Paints the waiting rows now.
void PaintEventList();

// The rules over every visible top-level window, for any event; no event row.
void ApplyRulesToOpenWindows();

// Removes every row of the event list.
void ClearEventLog();
