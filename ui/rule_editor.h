// The rule editor: one rule, validated on OK, stored in the rule list and
// saved to the rule file.
#pragma once

#include "rules/rule.h"

#include <windows.h>

#include <optional>

// Set by the main dialog just before each opening of the editor: the rule
// to show (none: the new-rule defaults) and the index that OK overwrites
// (-1: OK appends).
extern std::optional<Rule> editorPrefill;
extern int editorIndex;

// The open editor, or null.
extern HWND openEditor;

// Opens the editor on editorPrefill, modal and owned by owner; IDOK once the
// rule is stored and saved (or the failed save shown), IDCANCEL when
// nothing changed.
INT_PTR ShowRuleEditor(HWND owner);
