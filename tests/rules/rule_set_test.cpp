#include "rules/rule_set.h"

#include <gtest/gtest.h>

#include <vector>

TEST(RuleSet, KeepsOrderThroughGrowthReplaceAndErase)
{
    RuleSet rules;
    Rule rule;
    for (rule.action = 0; rule.action < 5; ++rule.action)
        ASSERT_TRUE(rules.Append(rule));
    rule.action = 42;
    EXPECT_TRUE(rules.Replace(2, rule) && rules.Erase(0));
    EXPECT_FALSE(rules.Erase(4) || rules.Replace(4, rule));
    std::vector<int32_t> actions;
    for (size_t i = 0; i < rules.Count(); ++i)
        actions.push_back(rules.At(i).action);
    EXPECT_EQ(actions, (std::vector<int32_t>{1, 42, 3, 4}));
}
