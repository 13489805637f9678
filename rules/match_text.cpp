#include "rules/match_text.h"

#include "rules/rule.h"

#include <cstddef>
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

struct Exact {
    static bool Same(unsigned char a, unsigned char b) { return a == b; }
};
// Most bytes compared are equal as they stand; only the others are folded.
struct Folded {
    static bool Same(unsigned char a, unsigned char b) { return a == b || fold.to[a] == fold.to[b]; }
};

using Bytes = const unsigned char *;

// The tests walk text and pattern together and stop at the first difference
// or NUL, so that a rule that fails early costs little: a window's texts are
// tried against every rule of the list on every event.
template <class Case> bool SameText(Bytes text, Bytes pattern)
{
    for (;; ++text, ++pattern) {
        if (!Case::Same(*text, *pattern))
            return false;
        if (*text == 0)
            return true;
    }
}

template <class Case> bool StartsWith(Bytes text, Bytes pattern)
{
    for (; *pattern; ++text, ++pattern) {
        if (!Case::Same(*text, *pattern))
            return false;
    }
    return true;
}

// Every start position in turn, as plain as the test is defined.
template <class Case> bool Holds(Bytes text, Bytes pattern)
{
    if (*pattern == 0)
        return true;
    for (; *text; ++text) {
        if (StartsWith<Case>(text, pattern))
            return true;
    }
    return false;
}

// A plain walk: the C library's strlen under Wine walks byte by byte too,
// and costs a call.
size_t Length(Bytes text)
{
    size_t length = 0;
    while (text[length])
        ++length;
    return length;
}

// Case-sensitive, the library's memcmp does the comparing after a one-byte
// check of each start.
template <> bool Holds<Exact>(Bytes text, Bytes pattern)
{
    if (*pattern == 0)
        return true;
    size_t textLength = Length(text);
    size_t patternLength = Length(pattern);
    if (patternLength > textLength)
        return false;
    for (size_t start = 0; start + patternLength <= textLength; ++start) {
        if (text[start] == pattern[0] &&
            std::memcmp(text + start + 1, pattern + 1, patternLength - 1) == 0)
            return true;
    }
    return false;
}

template <class Case> bool SameRun(Bytes a, Bytes b, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (!Case::Same(a[i], b[i]))
            return false;
    }
    return true;
}

template <class Case> bool EndsWithPattern(Bytes text, Bytes pattern)
{
    size_t textLength = Length(text);
    size_t patternLength = Length(pattern);
    return patternLength <= textLength &&
           SameRun<Case>(text + textLength - patternLength, pattern, patternLength);
}

template <class Case> bool Match(Bytes text, Bytes pattern, int32_t kind)
{
    switch (kind) {
    case Equals:
        return SameText<Case>(text, pattern);
    case Contains:
        return Holds<Case>(text, pattern);
    case BeginsWith:
        return StartsWith<Case>(text, pattern);
    case EndsWith:
        return EndsWithPattern<Case>(text, pattern);
    default:
        return false;
    }
}

} // namespace

bool MatchText(const char *text, const char *pattern, int32_t kind, bool caseSensitive)
{
    auto t = reinterpret_cast<Bytes>(text);
    auto p = reinterpret_cast<Bytes>(pattern);
    return caseSensitive ? Match<Exact>(t, p, kind) : Match<Folded>(t, p, kind);
}
