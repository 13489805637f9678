// The text test of a rule: one of four kinds, with or without regard to the
// case of the 26 ASCII letters.
#pragma once

#include <cstddef>
#include <cstdint>

// True when text passes the test; a kind outside MatchKind never passes.
// Exported for the tests, the fuzzer and the benchmark: the program itself
// calls only MatchTextOfLength.
bool MatchText(const char *text, const char *pattern, int32_t kind, bool caseSensitive);

// The same test on texts whose lengths (bytes before the NUL) the caller
// already knows: rule application measures a window's texts once for the
// whole rule list instead of once per rule.
bool MatchTextOfLength(const char *text, size_t textLength, const char *pattern,
                       size_t patternLength, int32_t kind, bool caseSensitive);
