// Trying the rules against one window: every rule that matches is carried
// out and logged, in list order.
#pragma once

#include "rules/window_handle.h"

#include <cstdint>

// event is a WindowEvent, or AnyEvent to try the rules of every event.
void ApplyRules(HWND window, int32_t event, const char *title, const char *className);
