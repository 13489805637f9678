#include "rules/apply_rules.h"

#include "actions/window_actions.h"
#include "events/window_events.h"
#include "rules/match_text.h"
#include "rules/rule_set.h"

// The rule is copied before it is carried out: PerformAction and LogAction
// pump no messages today, but nothing here may rely on the list's storage
// staying where it was across them.
void ApplyRules(HWND window, int32_t event, const char *title, const char *className)
{
    for (size_t index = 0; index < ruleSet.Count(); ++index) {
        const Rule rule = ruleSet.At(index);
        if (event != AnyEvent && event != rule.event)
            continue;
        bool titleHolds =
            !rule.matchTitle || MatchText(title, rule.title, rule.titleMatch, rule.titleCase);
        if (!titleHolds)
            continue;
        if (rule.matchClass &&
            !MatchText(className, rule.className, rule.classMatch, rule.classCase))
            continue;
        PerformAction(window, rule.action);
        LogAction(window, rule.action, title, className);
    }
}
