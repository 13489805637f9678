// The one builder of a rule record for tests and benchmarks; portable.
#pragma once

#include "rules/rule.h"

#include <cstdio>

// event doing action, with a test of the title and one of the class where
// given, both by match and caseSensitive.
inline Rule MakeRule(int32_t event, int32_t action, const char *title = nullptr,
                     int32_t match = Equals, bool caseSensitive = true,
                     const char *className = nullptr)
{
    Rule rule = {event, title != nullptr, "", match, caseSensitive,
                 className != nullptr, "", match, caseSensitive, action};
    std::snprintf(rule.title, sizeof rule.title, "%s", title ? title : "");
    std::snprintf(rule.className, sizeof rule.className, "%s", className ? className : "");
    return rule;
}
