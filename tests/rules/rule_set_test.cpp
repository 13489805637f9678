#include "rules/rule_set.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

Rule Numbered(int n)
{
    Rule rule;
    rule.action = n;
    return rule;
}

TEST(RuleSet, GrowsByDoublingFromOneElement)
{
    RuleSet rules;
    EXPECT_EQ(rules.Count(), 0u);
    EXPECT_EQ(rules.Capacity(), 0u);
    size_t seen[] = {1, 2, 4, 4, 8, 8, 8, 8, 16};
    for (int i = 0; i < 9; ++i) {
        ASSERT_TRUE(rules.Append(Numbered(i)));
        EXPECT_EQ(rules.Capacity(), seen[i]) << "after " << i + 1 << " appends";
    }
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(rules.At(i).action, i);
}

TEST(RuleSet, ReplaceAndEraseKeepOrder)
{
    RuleSet rules;
    for (int i = 0; i < 5; ++i)
        rules.Append(Numbered(i));
    EXPECT_TRUE(rules.Replace(2, Numbered(42)));
    EXPECT_TRUE(rules.Erase(0));
    ASSERT_EQ(rules.Count(), 4u);
    int expected[] = {1, 42, 3, 4};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(rules.At(i).action, expected[i]);
    EXPECT_TRUE(rules.Erase(3));
    EXPECT_EQ(rules.Count(), 3u);
}

TEST(RuleSet, OutOfRangeIndexChangesNothing)
{
    RuleSet rules;
    EXPECT_FALSE(rules.Erase(0));
    EXPECT_FALSE(rules.Replace(0, Numbered(1)));
    rules.Append(Numbered(7));
    EXPECT_FALSE(rules.Erase(1));
    EXPECT_FALSE(rules.Replace(1, Numbered(1)));
    ASSERT_EQ(rules.Count(), 1u);
    EXPECT_EQ(rules.At(0).action, 7);
}

TEST(RuleSet, NewRuleHasTheDefaults)
{
    Rule rule;
    EXPECT_EQ(rule.event, Create);
    EXPECT_FALSE(rule.matchTitle);
    EXPECT_EQ(rule.titleMatch, Equals);
    EXPECT_TRUE(rule.titleCase);
    EXPECT_FALSE(rule.matchClass);
    EXPECT_EQ(rule.classMatch, Equals);
    EXPECT_TRUE(rule.classCase);
    EXPECT_EQ(rule.action, Close);
    const char zeros[RuleTextSize] = {};
    EXPECT_EQ(std::memcmp(rule.title, zeros, RuleTextSize), 0);
    EXPECT_EQ(std::memcmp(rule.className, zeros, RuleTextSize), 0);
}

} // namespace
