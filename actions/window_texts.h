// Reading a window's title and class, as every part of the program holds
// them: at most 79 characters each, cut where longer.
#pragma once

#include "rules/rule.h"

#include <windows.h>

struct WindowTexts {
    char title[RuleTextSize];
    char className[RuleTextSize];
};

// Empty texts where they cannot be read, and for a null handle.
WindowTexts ReadWindowTexts(HWND window);
