// The one place the rule core learns what a window handle is: the real HWND
// on Windows, an opaque pointer of the same shape everywhere else, so that
// the core builds and is fuzzed on the host without the window system.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
struct HWND__;
typedef HWND__ *HWND;
#endif
