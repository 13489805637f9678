// Rule application with stand-in effects: which rules fire, in what order,
// and that the walk survives effects that change the rules under it.
#include "rules/apply_rules.h"
#include "rules/rule_effects.h"
#include "rules/rule_set.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

std::vector<int32_t> performed, logged;
std::function<void()> duringPerform, duringLog;

Rule Titled(int32_t event, const char *title, int32_t action)
{
    Rule rule;
    rule.event = event;
    rule.matchTitle = true;
    std::strncpy(rule.title, title, sizeof rule.title - 1);
    rule.titleMatch = Equals;
    rule.action = action;
    return rule;
}

class ApplyRulesTest : public testing::Test {
protected:
    void SetUp() override
    {
        ruleSet.Clear();
        performed.clear();
        logged.clear();
        duringPerform = duringLog = nullptr;
    }
    void TearDown() override { ruleSet.Clear(); }
};

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

TEST_F(ApplyRulesTest, FiresMatchingRulesOfTheEventInListOrder)
{
    Rule classOnly;
    classOnly.event = Activate;
    classOnly.matchClass = true;
    std::strcpy(classOnly.className, "Notepad");
    classOnly.classMatch = Equals;
    classOnly.action = Maximize;
    for (const Rule &rule : {Titled(Create, "Nag", Hide), Titled(Create, "Other", Close), classOnly,
                             Titled(Activate, "Nag", Smash), Titled(Create, "Nag", Cloak)})
        ruleSet.Append(rule);

    const struct {
        int32_t event;
        const char *title;
        std::vector<int32_t> fired;
    } cases[] = {
        {Create, "Nag", {Hide, Cloak}},
        {Activate, "Nag", {Maximize, Smash}},
        {AnyEvent, "Nag", {Hide, Maximize, Smash, Cloak}},
        {AnyEvent, "nag", {Maximize}},
        {Create, "", {}},
    };
    for (const auto &test : cases) {
        performed.clear();
        logged.clear();
        ApplyRules(nullptr, test.event, test.title, "Notepad");
        EXPECT_EQ(performed, test.fired) << test.event << " " << test.title;
        EXPECT_EQ(logged, test.fired) << test.event << " " << test.title;
    }
}

// Messages dispatched inside an effect may add or delete rules. The walk
// reads the count again before every rule and holds no reference into the
// storage, which appending moves (the sanitizers catch a stale one).
TEST_F(ApplyRulesTest, SurvivesRulesAddedAndRemovedWhileItWalks)
{
    ruleSet.Append(Titled(Create, "Nag", Hide));
    duringLog = [] {
        if (ruleSet.Count() < 40)
            ruleSet.Append(Titled(Create, "Nag", static_cast<int32_t>(ruleSet.Count() % 8)));
    };
    ApplyRules(nullptr, Create, "Nag", "");
    ASSERT_EQ(ruleSet.Count(), 40u);
    EXPECT_EQ(logged.size(), 40u);  // every appended rule was reached too
    EXPECT_EQ(logged[1], 1);

    // Deleting the rule that fired moves the next one into its place, past
    // the walk: it is skipped, never read twice or out of bounds.
    ruleSet.Clear();
    logged.clear();
    for (int32_t action : {Close, Minimize, Maximize, Restore})
        ruleSet.Append(Titled(Create, "Nag", action));
    duringLog = nullptr;
    duringPerform = [] { ruleSet.Erase(0); };
    ApplyRules(nullptr, Create, "Nag", "");
    EXPECT_EQ(logged, (std::vector<int32_t>{Close, Maximize}));
    EXPECT_EQ(ruleSet.Count(), 2u);

    duringPerform = [] { ruleSet.Clear(); };
    logged.clear();
    ApplyRules(nullptr, AnyEvent, "Nag", "");
    EXPECT_EQ(logged, (std::vector<int32_t>{Maximize}));
}
