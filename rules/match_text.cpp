#include "rules/match_text.h"

#include "rules/rule.h"

#include <cstring>

namespace {

// Folds only 'A'..'Z'; bytes 128-255 of the code page stay as they are, so
// an accented capital never equals its lower-case letter.
struct FoldTable {
    unsigned char to[256];
    constexpr FoldTable() : to()
    {
        for (int c = 0; c < 256; ++c)
            to[c] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
};
constexpr FoldTable fold;

using Bytes = const unsigned char *;

struct Exact {
    static bool Same(unsigned char a, unsigned char b) { return a == b; }
    static bool SameRun(Bytes a, Bytes b, size_t length) { return std::memcmp(a, b, length) == 0; }
};

// Most bytes compared are equal as they stand: four at a time are compared
// whole, and only a group that differs is folded byte by byte.
struct Folded {
    static bool Same(unsigned char a, unsigned char b) { return a == b || fold.to[a] == fold.to[b]; }
    static bool SameRun(Bytes a, Bytes b, size_t length)
    {
        size_t i = 0;
        for (; i + 4 <= length; i += 4) {
            uint32_t x, y;
            std::memcpy(&x, a + i, 4);
            std::memcpy(&y, b + i, 4);
            if (x != y && !(Same(a[i], b[i]) && Same(a[i + 1], b[i + 1]) &&
                            Same(a[i + 2], b[i + 2]) && Same(a[i + 3], b[i + 3])))
                return false;
        }
        for (; i < length; ++i) {
            if (!Same(a[i], b[i]))
                return false;
        }
        return true;
    }
};

// Every start position in turn, as plain as the test is defined.
template <class Case> bool Holds(Bytes text, size_t textLength, Bytes pattern, size_t patternLength)
{
    if (patternLength == 0)
        return true;
    for (size_t start = 0; start + patternLength <= textLength; ++start) {
        if (Case::Same(text[start], pattern[0]) &&
            Case::SameRun(text + start + 1, pattern + 1, patternLength - 1))
            return true;
    }
    return false;
}

template <class Case>
bool Match(Bytes text, size_t textLength, Bytes pattern, size_t patternLength, int32_t kind)
{
    switch (kind) {
    case Equals:
        return textLength == patternLength && Case::SameRun(text, pattern, textLength);
    case Contains:
        return Holds<Case>(text, textLength, pattern, patternLength);
    case BeginsWith:
        return patternLength <= textLength && Case::SameRun(text, pattern, patternLength);
    case EndsWith:
        return patternLength <= textLength &&
               Case::SameRun(text + textLength - patternLength, pattern, patternLength);
    default:
        return false;
    }
}

} // namespace

bool MatchTextOfLength(const char *text, size_t textLength, const char *pattern,
                       size_t patternLength, int32_t kind, bool caseSensitive)
{
    auto t = reinterpret_cast<Bytes>(text);
    auto p = reinterpret_cast<Bytes>(pattern);
    return caseSensitive ? Match<Exact>(t, textLength, p, patternLength, kind)
                         : Match<Folded>(t, textLength, p, patternLength, kind);
}

bool MatchText(const char *text, const char *pattern, int32_t kind, bool caseSensitive)
{
    return MatchTextOfLength(text, std::strlen(text), pattern, std::strlen(pattern), kind,
                             caseSensitive);
}
