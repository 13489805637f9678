#include "rules/rule_text.h"

#include <cstdarg>
#include <cstdio>

namespace {

// Appends printf-style text where the previous piece ended, never past the
// buffer's end.
struct TextWriter {
    char *buffer;
    size_t size;
    size_t used = 0;

    void Add(const char *format, ...)
    {
        if (used + 1 >= size)
            return;
        va_list args;
        va_start(args, format);
        int written = std::vsnprintf(buffer + used, size - used, format, args);
        va_end(args);
        if (written > 0)
            used += static_cast<size_t>(written) < size - used ? static_cast<size_t>(written)
                                                               : size - used - 1;
    }
};

} // namespace

char *FormatRule(const Rule &rule, char *buffer)
{
    TextWriter text{buffer, RuleTextBufferSize};
    buffer[0] = '\0';
    text.Add("ON %s: ", EventName(rule.event));
    if (rule.matchTitle)
        text.Add("IF Title %s \"%.79s\"", MatchKindName(rule.titleMatch), rule.title);
    if (rule.matchClass) {
        text.Add(rule.matchTitle ? " AND " : "IF ");
        text.Add("Class %s \"%.79s\"", MatchKindName(rule.classMatch), rule.className);
    }
    text.Add(" THEN %s", ActionName(rule.action));
    return buffer;
}
