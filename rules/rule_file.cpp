#include "rules/rule_file.h"

#include "rules/safe_file.h"

#include <cstdio>

static size_t WriteBlock(const void *data, size_t size, FILE *file)
{
    return std::fwrite(data, 1, size, file);
}

RuleRecordWriter ruleRecordWriter = WriteBlock;

bool LoadRules(const char *path, RuleSet &rules)
{
    FILE *file = std::fopen(path, "rb");
    if (!file)
        return false;
    unsigned char record[RuleRecordSize];
    while (std::fread(record, 1, sizeof record, file) == sizeof record) {
        if (!rules.Append(DecodeRule(record)))
            break;
    }
    std::fclose(file);
    return true;
}

static bool WriteAll(FILE *file, const RuleSet &rules)
{
    unsigned char record[RuleRecordSize];
    for (size_t i = 0; i < rules.Count(); ++i) {
        EncodeRule(rules.At(i), record);
        if (ruleRecordWriter(record, sizeof record, file) != sizeof record)
            return false;
    }
    return true;
}

bool SaveRules(const char *path, const RuleSet &rules)
{
    return WriteFileSafely(path, [&](FILE *file) { return WriteAll(file, rules); });
}
