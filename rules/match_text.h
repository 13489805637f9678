// The text test of a rule: one of four kinds, with or without regard to the
// case of the 26 ASCII letters.
#pragma once

#include <cstdint>

// True when text passes the test; a kind outside MatchKind never passes.
bool MatchText(const char *text, const char *pattern, int32_t kind, bool caseSensitive);
