// The rule file: a bare sequence of 188-byte records, one per rule.
#pragma once

#include "rules/rule_set.h"

#include <cstdio>

// Appends every whole record of the file to rules, in file order; a trailing
// fragment is ignored. False only when the file cannot be opened.
bool LoadRules(const char *path, RuleSet &rules = ruleSet);

// Writes every rule to path. The new contents are written to a temporary
// file beside it and then put in its place, so that a failed save leaves
// the file that was there untouched. True when every rule was written;
// on failure the thread's last error (errno elsewhere) says why.
bool SaveRules(const char *path, const RuleSet &rules = ruleSet);

// How SaveRules writes one record; tests replace it to make a write fail.
using RuleRecordWriter = size_t (*)(const void *data, size_t size, FILE *file);
extern RuleRecordWriter ruleRecordWriter;
