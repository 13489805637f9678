// Process-wide values that the application shell sets at start and the
// other subsystems read. Tests set them to windows of their own.
#pragma once

#include <windows.h>

// String resources, each read into a buffer of 100 bytes at start.
constexpr int AppStringSize = 100;
extern char appCaption[AppStringSize];       // "Tarnwick II"
extern char mainWindowClass[AppStringSize];  // "BRASK2"
extern char pickerTitle[AppStringSize];      // "Click any window..."
extern char pickerClass[AppStringSize];      // "BraskCap"
extern char hookLibraryName[AppStringSize];  // "brask2.dll"
extern char ruleFileName[AppStringSize];     // "brask2.rul"

// Loads the six strings above from the module's string table.
void LoadAppStrings(HINSTANCE instance);

extern HINSTANCE appInstance;
extern HWND MainWindow;    // never shown; owns the tray icon; parent of cloaked windows
extern HWND MainDialog;    // the modeless main dialog
extern HWND PickerWindow;  // the full-screen window of the window picker
extern HCURSOR crossCursor;
extern HACCEL accelerators;
