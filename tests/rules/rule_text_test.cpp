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
    if (title) {
        rule.matchTitle = true;
        std::strcpy(rule.title, title);
        rule.titleMatch = titleMatch;
    }
    if (className) {
        rule.matchClass = true;
        std::strcpy(rule.className, className);
        rule.classMatch = classMatch;
    }
    rule.action = action;
    return rule;
}

std::string Text(const Rule &rule)
{
    char buffer[RuleTextBufferSize];
    return FormatRule(rule, buffer);
}

TEST(FormatRule, WorkedExamples)
{
    EXPECT_EQ(Text(MakeRule(Create, "Setup", Contains, nullptr, 0, Close)),
              "ON Create: IF Title Contains \"Setup\" THEN Close");
    EXPECT_EQ(Text(MakeRule(Activate, nullptr, 0, "Notepad", Equals, Hide)),
              "ON Activate: IF Class Equals \"Notepad\" THEN Hide");
    EXPECT_EQ(Text(MakeRule(Create, "Untitled", BeginsWith, "Frame", EndsWith, ForceMinimize)),
              "ON Create: IF Title Begins with \"Untitled\" AND Class Ends with \"Frame\" THEN Force "
              "Minimize (Win2K)");
    EXPECT_EQ(Text(MakeRule(Activate, nullptr, 0, nullptr, 0, Smash)), "ON Activate:  THEN Smash");
}

TEST(FormatRule, DisabledTestsAndCaseFlagsDoNotShow)
{
    Rule rule = MakeRule(Create, nullptr, 0, "C", Equals, Cloak);
    std::strcpy(rule.title, "ignored");
    rule.titleMatch = 99;
    rule.classCase = false;
    EXPECT_EQ(Text(rule), "ON Create: IF Class Equals \"C\" THEN Cloak");
}

TEST(FormatRule, QuotesInPatternsAreNotEscaped)
{
    EXPECT_EQ(Text(MakeRule(Create, "a\"b", Equals, nullptr, 0, Close)),
              "ON Create: IF Title Equals \"a\"b\" THEN Close");
}

TEST(FormatRule, LongestRuleFillsTheBufferExactly)
{
    std::string pattern(79, 'p');
    Rule rule = MakeRule(Activate, pattern.c_str(), BeginsWith, pattern.c_str(), BeginsWith,
                         ForceMinimize);
    char buffer[RuleTextBufferSize + 16];
    std::memset(buffer, '#', sizeof buffer);
    FormatRule(rule, buffer);
    EXPECT_EQ(std::strlen(buffer), 247u);
    for (size_t i = RuleTextBufferSize; i < sizeof buffer; ++i)
        ASSERT_EQ(buffer[i], '#') << "wrote past 248 bytes at " << i;
}

TEST(FormatRule, ForeignValuesShowAsPlaceholders)
{
    Rule rule = MakeRule(5, "t", 9, "c", -3, 8);
    EXPECT_EQ(Text(rule), "ON ?: IF Title ? \"t\" AND Class ? \"c\" THEN ?");
}

} // namespace
