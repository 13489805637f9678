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

bool SameRun(const char *a, const char *b, size_t length, bool caseSensitive)
{
    if (caseSensitive)
        return std::memcmp(a, b, length) == 0;
    const auto *x = reinterpret_cast<const unsigned char *>(a);
    const auto *y = reinterpret_cast<const unsigned char *>(b);
    for (size_t i = 0; i < length; ++i) {
        if (fold.to[x[i]] != fold.to[y[i]])
            return false;
    }
    return true;
}

} // namespace

bool MatchText(const char *text, const char *pattern, int32_t kind, bool caseSensitive)
{
    size_t textLength = std::strlen(text);
    size_t patternLength = std::strlen(pattern);
    switch (kind) {
    case Equals:
        return textLength == patternLength && SameRun(text, pattern, textLength, caseSensitive);
    case Contains:
        if (patternLength > textLength)
            return false;
        for (size_t start = 0; start + patternLength <= textLength; ++start) {
            if (SameRun(text + start, pattern, patternLength, caseSensitive))
                return true;
        }
        return false;
    case BeginsWith:
        return patternLength <= textLength && SameRun(text, pattern, patternLength, caseSensitive);
    case EndsWith:
        return patternLength <= textLength &&
               SameRun(text + textLength - patternLength, pattern, patternLength, caseSensitive);
    default:
        return false;
    }
}
