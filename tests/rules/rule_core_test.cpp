#include "rules/match_text.h"
#include "rules/rule_set.h"
#include "rules/rule_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

Rule MakeRule(int32_t event, const char *title, int32_t titleMatch, const char *className,
              int32_t classMatch, int32_t action)
{
    Rule rule;
    rule.event = event;
    rule.matchTitle = title != nullptr;
    rule.matchClass = className != nullptr;
    std::strncpy(rule.title, title ? title : "", sizeof rule.title - 1);
    std::strncpy(rule.className, className ? className : "", sizeof rule.className - 1);
    rule.titleMatch = titleMatch;
    rule.classMatch = classMatch;
    rule.action = action;
    return rule;
}

std::string Text(const Rule &rule)
{
    char buffer[RuleTextBufferSize];
    return FormatRule(rule, buffer);
}

TEST(RuleRecord, FieldsStandAtTheirOffsetsLittleEndianWithZeroPadding)
{
    Rule rule = MakeRule(Activate, "Title", 0x01020304, "Class", -2, Smash);
    rule.titleCase = false;
    unsigned char record[RuleRecordSize];
    std::memset(record, 0xAA, sizeof record);
    EncodeRule(rule, record);
    unsigned char expected[RuleRecordSize] = {1, 0, 0, 0, 1, 'T', 'i', 't', 'l', 'e'};
    std::memcpy(expected + 88, "\x04\x03\x02\x01\x00\x01" "Class", 11);
    std::memcpy(expected + 176, "\xfe\xff\xff\xff\x01\x00\x00\x00\x07", 9);
    EXPECT_EQ(std::memcmp(record, expected, RuleRecordSize), 0);
}

TEST(RuleRecord, AnyBytesDecodeSafely)
{
    unsigned char record[RuleRecordSize];
    std::memset(record, 'x', sizeof record);
    record[92] = 0;
    Rule rule = DecodeRule(record);
    EXPECT_TRUE(rule.matchTitle);  // 'x' is nonzero: true
    EXPECT_FALSE(rule.titleCase);
    EXPECT_EQ(std::strlen(rule.title), 79u);  // no NUL in the field: its first 79
    EXPECT_EQ(std::strlen(rule.className), 79u);
    EncodeRule(rule, record);
    EXPECT_EQ(record[4], 1);  // and written back as 1
}

TEST(RuleSet, GrowsByDoublingAndKeepsOrderThroughReplaceAndErase)
{
    RuleSet rules;
    size_t capacities[] = {1, 2, 4, 4, 8};
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(rules.Append(MakeRule(Create, nullptr, 0, nullptr, 0, i)));
        EXPECT_EQ(rules.Capacity(), capacities[i]);
    }
    EXPECT_TRUE(rules.Replace(2, MakeRule(Create, nullptr, 0, nullptr, 0, 42)));
    EXPECT_TRUE(rules.Erase(0));
    EXPECT_FALSE(rules.Erase(4));
    EXPECT_FALSE(rules.Replace(4, Rule()));
    int32_t expected[] = {1, 42, 3, 4};
    ASSERT_EQ(rules.Count(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(rules.At(i).action, expected[i]);
}

TEST(FormatRule, Texts)
{
    std::string long79(79, 'p');
    struct {
        Rule rule;
        std::string text;
    } cases[] = {
        {MakeRule(Create, "Setup", Contains, nullptr, 0, Close),
         "ON Create: IF Title Contains \"Setup\" THEN Close"},
        {MakeRule(Activate, nullptr, 0, "Notepad", Equals, Hide),
         "ON Activate: IF Class Equals \"Notepad\" THEN Hide"},
        {MakeRule(Create, "Untitled", BeginsWith, "Frame", EndsWith, ForceMinimize),
         "ON Create: IF Title Begins with \"Untitled\" AND Class Ends with \"Frame\" THEN Force "
         "Minimize (Win2K)"},
        {MakeRule(Activate, nullptr, 0, nullptr, 0, Smash), "ON Activate:  THEN Smash"},
        {MakeRule(Create, "a\"b", Equals, nullptr, 0, Close),
         "ON Create: IF Title Equals \"a\"b\" THEN Close"},
        // Values of a foreign file show as placeholders, never index a table.
        {MakeRule(5, "t", 9, "c", -3, 8), "ON ?: IF Title ? \"t\" AND Class ? \"c\" THEN ?"},
        {MakeRule(Activate, long79.c_str(), BeginsWith, long79.c_str(), BeginsWith, ForceMinimize),
         "ON Activate: IF Title Begins with \"" + long79 + "\" AND Class Begins with \"" + long79 +
             "\" THEN Force Minimize (Win2K)"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Text(c.rule), c.text);
    EXPECT_EQ(cases[6].text.size(), 247u);
}

TEST(MatchText, Table)
{
    struct {
        const char *text, *pattern;
        int32_t kind;
        bool caseSensitive, passes;
    } cases[] = {
        {"", "", Equals, true, true},          {"x", "", Equals, true, false},
        {"x", "", Contains, true, true},       {"", "", Contains, false, true},
        {"x", "", BeginsWith, true, true},     {"x", "", EndsWith, false, true},
        {"Notepad", "NOTEPAD", Equals, false, true},
        {"Notepad", "NOTEPAD", Equals, true, false},
        {"\xE9t\xE9", "\xC9T\xC9", Equals, false, false},  // accented capitals do not fold
        {"caf\xE9", "CAF\xC9", Contains, false, false},
        {"@[", "`{", Equals, false, false},  // neither do the letters' neighbours
        {"Doc", "Document", EndsWith, true, false},
        {"Untitled - Notepad", "Notepad", EndsWith, true, true},
        {"Untitled", "Untitled - Notepad", BeginsWith, true, false},
        {"Untitled - Notepad", "untitled", BeginsWith, false, true},
        {"aaab", "aab", Contains, true, true},  // a false start must not skip the match
        {"aaab", "AAB", Contains, false, true},
        {"Setup Wizard", "UP WIZ", Contains, true, false},
        {"abc", "abcd", Contains, false, false},
        {"abc", "abc", 4, true, false},        {"abc", "abc", -1, false, false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(MatchText(c.text, c.pattern, c.kind, c.caseSensitive), c.passes)
            << '"' << c.text << "\" \"" << c.pattern << "\" kind " << c.kind << " case "
            << c.caseSensitive;
        // Rule application takes the pattern's length from its field.
        Rule rule = MakeRule(Create, c.pattern, c.kind, nullptr, 0, Close);
        EXPECT_EQ(MatchTextOfLength(c.text, std::strlen(c.text), rule.title, RuleTextLength(rule.title),
                                    c.kind, c.caseSensitive),
                  c.passes);
    }
    char full[RuleTextSize];
    std::memset(full, 'x', sizeof full);
    EXPECT_EQ(RuleTextLength(full), 79u);
}

} // namespace
