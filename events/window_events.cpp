#include "events/window_events.h"
// placeholder until implemented
int eventDelayMs = 50;
char eventDelayLabel[16];
void HandleWindowEvent(UINT, HWND) {}
void SetEventDelay(int) {}
void InitEventControls(HWND) {}
void OnEventDelayScroll(HWND) {}
void LogEvent(HWND, int32_t, const char *, const char *) {}
void LogAction(HWND, int32_t, const char *, const char *) {}
void ApplyRulesToOpenWindows() {}
void ClearEventLog() {}
