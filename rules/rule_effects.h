// What a rule that fires does to the world: the two calls ApplyRules makes.
// The rule core only declares them; whoever links the core defines them once:
//   - the program: PerformAction in actions/window_actions.cpp, LogAction in
//     events/window_events.cpp;
//   - stand-ins in tests/rules/apply_rules_test.cpp, fuzz/rule_file_fuzz.cpp
//     and bench/apply_rules_bench.cpp, so that rule application runs without
//     a window system.
#pragma once

#include "rules/window_handle.h"

#include <cstdint>

// Carries out action on window; nonzero when it was done.
int PerformAction(HWND window, int32_t action);

// Shows that action fired on window, whatever PerformAction reported.
void LogAction(HWND window, int32_t action, const char *title, const char *className);
