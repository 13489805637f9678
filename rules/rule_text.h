// The one-line text of a rule, as the rule list shows it.
#pragma once

#include "rules/rule.h"

// Callers provide at least this many bytes.
constexpr size_t RuleTextBufferSize = 248;

// Writes at most 247 characters and a NUL into buffer, whatever the rule
// holds, and returns buffer.
char *FormatRule(const Rule &rule, char *buffer);
