// What a rule that fires does to the world: the two calls ApplyRules makes.
// The rule core only declares them; the program defines them above it (the
// window actions and the event list), and the core's own tests and fuzzer
// link stand-ins, so that rule application is tested without a window system.
#pragma once

#include "rules/window_handle.h"

#include <cstdint>

// Carries out action on window; nonzero when it was done.
int PerformAction(HWND window, int32_t action);

// Shows that action fired on window, whatever PerformAction reported.
void LogAction(HWND window, int32_t action, const char *title, const char *className);
