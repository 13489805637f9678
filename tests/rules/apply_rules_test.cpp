// Rule application with stand-in effects: which rules fire, in what order,
// and that the walk survives effects that change the rules under it.
#include "rules/apply_rules.h"
#include "rules/rule_effects.h"
#include "rules/rule_set.h"
#include "tests/support/test_rule.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using Actions = std::vector<int32_t>;
Actions performed, logged;
std::function<void()> duringPerform, duringLog;

// What fires on a window of this title and of the class "Notepad".
Actions Apply(int32_t event, const char *title)
{
    performed.clear();
    logged.clear();
    ApplyRules(nullptr, event, title, "Notepad");
    EXPECT_EQ(performed, logged);
    return logged;
}

} // namespace

// The stand-ins refuse every action, as PerformAction does for the program's
// own windows: the row is logged all the same.
int PerformAction(HWND, int32_t action)
{
    performed.push_back(action);
    if (duringPerform)
        duringPerform();
    return 0;
}

void LogAction(HWND, int32_t action, const char *, const char *)
{
    logged.push_back(action);
    if (duringLog)
        duringLog();
}

TEST(ApplyRules, FiresMatchingRulesOfTheEventInListOrder)
{
    ruleSet.Clear();
    Rule byClass = MakeRule(Activate, Maximize, nullptr, Equals, true, "Notepad");
    for (const Rule &rule : {MakeRule(Create, Hide, "Nag"), MakeRule(Create, Close, "Other"),
                             byClass, MakeRule(Activate, Smash, "Nag"),
                             MakeRule(Create, Cloak, "Nag")})
        ruleSet.Append(rule);
    EXPECT_EQ(Apply(Create, "Nag"), (Actions{Hide, Cloak}));
    EXPECT_EQ(Apply(Activate, "Nag"), (Actions{Maximize, Smash}));
    EXPECT_EQ(Apply(AnyEvent, "Nag"), (Actions{Hide, Maximize, Smash, Cloak}));
    EXPECT_EQ(Apply(AnyEvent, "nag"), (Actions{Maximize}));
}

// Messages dispatched inside either effect may add or delete rules. The walk
// reads the count again before every rule and holds no reference into the
// storage, which appending moves (the sanitizers catch a stale one across
// PerformAction): every rule is reached once, in list order.
TEST(ApplyRules, SurvivesRulesAddedAndRemovedWhileItWalks)
{
    for (std::function<void()> *during : {&duringPerform, &duringLog}) {
        ruleSet.Clear();
        ruleSet.Append(MakeRule(Create, Hide, "Nag"));
        const size_t capacity = ruleSet.Capacity();
        *during = [capacity] {
            if (ruleSet.Count() <= capacity)
                ruleSet.Append(MakeRule(Create, static_cast<int32_t>(ruleSet.Count() % 8), "Nag"));
        };
        Actions all = Apply(Create, "Nag"), listed;
        *during = nullptr;
        for (size_t i = 0; i < ruleSet.Count(); ++i)
            listed.push_back(ruleSet.At(i).action);
        EXPECT_GT(ruleSet.Capacity(), capacity);
        EXPECT_EQ(all, listed);
    }

    // Deleting the rule that fired moves the next one into its place, past
    // the walk: it is skipped, never read twice or out of bounds.
    ruleSet.Clear();
    for (int32_t action : {Close, Minimize, Maximize, Restore})
        ruleSet.Append(MakeRule(Create, action, "Nag"));
    duringPerform = [] { ruleSet.Erase(0); };
    EXPECT_EQ(Apply(Create, "Nag"), (Actions{Close, Maximize}));
    ASSERT_EQ(ruleSet.Count(), 2u);
    EXPECT_FALSE(ruleSet.Erase(2) || ruleSet.Replace(2, Rule{}));
    duringPerform = [] { ruleSet.Clear(); };
    EXPECT_EQ(Apply(AnyEvent, "Nag"), (Actions{Maximize}));
    duringPerform = nullptr;
}
