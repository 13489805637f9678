// Display names and the on-disk form of a rule.
#include "rules/rule.h"

#include <cstring>

const char *const EventNames[EventCount] = {"Create", "Activate"};
const char *const MatchKindNames[MatchKindCount] = {"Equals", "Contains", "Begins with",
                                                    "Ends with"};
const char *const ActionNames[ActionCount] = {
    "Close", "Minimize", "Force Minimize (Win2K)", "Maximize", "Restore", "Hide", "Cloak", "Smash",
};
const char UnknownName[] = "?";

static const char *NameAt(const char *const *table, int count, int32_t value)
{
    return value >= 0 && value < count ? table[value] : UnknownName;
}

const char *EventName(int32_t event) { return NameAt(EventNames, EventCount, event); }
const char *MatchKindName(int32_t kind) { return NameAt(MatchKindNames, MatchKindCount, kind); }
const char *ActionName(int32_t action) { return NameAt(ActionNames, ActionCount, action); }

size_t RuleTextLength(const char (&text)[RuleTextSize])
{
    static_assert(RuleTextSize % 4 == 0, "the field is read in whole words");
    for (size_t i = 0; i < RuleTextSize; i += 4) {
        uint32_t word;
        std::memcpy(&word, text + i, 4);
        // Nonzero exactly when one of the four bytes is zero.
        if ((word - 0x01010101u) & ~word & 0x80808080u) {
            while (text[i] != '\0')
                ++i;
            return i;
        }
    }
    return RuleTextSize - 1;
}

static void PutInt32(unsigned char *at, int32_t value)
{
    uint32_t v = static_cast<uint32_t>(value);
    at[0] = static_cast<unsigned char>(v);
    at[1] = static_cast<unsigned char>(v >> 8);
    at[2] = static_cast<unsigned char>(v >> 16);
    at[3] = static_cast<unsigned char>(v >> 24);
}

static int32_t GetInt32(const unsigned char *at)
{
    uint32_t v = uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 |
                 uint32_t(at[3]) << 24;
    return static_cast<int32_t>(v);
}

static void GetText(char (&text)[RuleTextSize], const unsigned char *at)
{
    std::memcpy(text, at, RuleTextSize);
    text[RuleTextSize - 1] = '\0';
}

void EncodeRule(const Rule &rule, unsigned char record[RuleRecordSize])
{
    using namespace RuleRecord;
    std::memset(record, 0, RuleRecordSize);
    PutInt32(record + EventOffset, rule.event);
    record[MatchTitleOffset] = rule.matchTitle ? 1 : 0;
    std::memcpy(record + TitleOffset, rule.title, RuleTextSize);
    PutInt32(record + TitleMatchOffset, rule.titleMatch);
    record[TitleCaseOffset] = rule.titleCase ? 1 : 0;
    record[MatchClassOffset] = rule.matchClass ? 1 : 0;
    std::memcpy(record + ClassNameOffset, rule.className, RuleTextSize);
    PutInt32(record + ClassMatchOffset, rule.classMatch);
    record[ClassCaseOffset] = rule.classCase ? 1 : 0;
    PutInt32(record + ActionOffset, rule.action);
}

Rule DecodeRule(const unsigned char record[RuleRecordSize])
{
    using namespace RuleRecord;
    Rule rule;
    rule.event = GetInt32(record + EventOffset);
    rule.matchTitle = record[MatchTitleOffset] != 0;
    GetText(rule.title, record + TitleOffset);
    rule.titleMatch = GetInt32(record + TitleMatchOffset);
    rule.titleCase = record[TitleCaseOffset] != 0;
    rule.matchClass = record[MatchClassOffset] != 0;
    GetText(rule.className, record + ClassNameOffset);
    rule.classMatch = GetInt32(record + ClassMatchOffset);
    rule.classCase = record[ClassCaseOffset] != 0;
    rule.action = GetInt32(record + ActionOffset);
    return rule;
}

// The offsets of the record leave room for every field and its padding.
static_assert(RuleRecord::TitleOffset + RuleTextSize + 3 == RuleRecord::TitleMatchOffset, "");
static_assert(RuleRecord::ClassNameOffset + RuleTextSize + 2 == RuleRecord::ClassMatchOffset, "");
static_assert(RuleRecord::ActionOffset + 4 == RuleRecordSize, "");
