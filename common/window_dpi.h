// The DPI of a window and the pixel sizes that follow from it. Windows 10
// gives every window a DPI of its own; older systems have one for all, and
// lack the functions that ask, so they are looked up at run time.
#pragma once

#include <windows.h>

// The scale at which the program's sizes are given.
constexpr UINT BaseDpi = 96;

// The DPI the window is drawn at: its own where the system knows one, else
// the system's.
UINT WindowDpi(HWND window);

// size, given for BaseDpi, at dpi.
inline int ScaleToDpi(int size, UINT dpi) { return MulDiv(size, static_cast<int>(dpi), BaseDpi); }

// GetSystemMetrics(index) as it is at dpi; where the system cannot say, as it
// is at the system's DPI.
int SystemMetricForDpi(int index, UINT dpi);
