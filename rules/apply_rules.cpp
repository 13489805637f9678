#include "rules/apply_rules.h"

#include "rules/match_text.h"
#include "rules/rule_effects.h"
#include "rules/rule_set.h"

#include <cstring>

namespace {

// A window's text, measured once for the whole rule list.
struct Text {
    const char *bytes;
    size_t length;
};

bool FieldMatches(Text text, const char (&pattern)[RuleTextSize], int32_t kind, bool caseSensitive)
{
    return MatchTextOfLength(text.bytes, text.length, pattern, RuleTextLength(pattern), kind,
                             caseSensitive);
}

// The class test is not even looked at when the title test fails.
bool RuleMatches(const Rule &rule, int32_t event, Text title, Text className)
{
    if (event != AnyEvent && event != rule.event)
        return false;
    if (rule.matchTitle && !FieldMatches(title, rule.title, rule.titleMatch, rule.titleCase))
        return false;
    return !rule.matchClass ||
           FieldMatches(className, rule.className, rule.classMatch, rule.classCase);
}

} // namespace

// Only the action value is carried across PerformAction and LogAction: either
// may let messages run meanwhile (a call to another program's thread, a
// message box), and they may change the rules and move their storage. The
// count is read again before every rule for the same reason.
void ApplyRules(HWND window, int32_t event, const char *title, const char *className)
{
    const Text titleText = {title, std::strlen(title)};
    const Text classText = {className, std::strlen(className)};
    for (size_t index = 0; index < ruleSet.Count(); ++index) {
        if (!RuleMatches(ruleSet.At(index), event, titleText, classText))
            continue;
        const int32_t action = ruleSet.At(index).action;
        PerformAction(window, action);
        LogAction(window, action, title, className);
    }
}
