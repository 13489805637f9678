#include "rules/rule_text.h"
#include "tests/support/test_rule.h"

#include <gtest/gtest.h>

#include <string>

TEST(FormatRule, Texts)
{
    // The longest text there is fills the buffer exactly.
    const std::string p79(79, 'p');
    const Rule longest = MakeRule(Activate, ForceMinimize, &p79[0], BeginsWith, true, &p79[0]);
    const struct {
        Rule rule;
        std::string text;
    } cases[] = {
        {{Create, true, "Setup", Contains}, "ON Create: IF Title Contains \"Setup\" THEN Close"},
        {{Activate, false, "", 0, true, true, "Notepad", Equals, true, Hide},
         "ON Activate: IF Class Equals \"Notepad\" THEN Hide"},
        {{Create, true, "Untitled", BeginsWith, true, true, "Frame", EndsWith, true, ForceMinimize},
         "ON Create: IF Title Begins with \"Untitled\" AND Class Ends with \"Frame\" THEN Force "
         "Minimize (Win2K)"},
        {{Activate, false, "", 0, true, false, "", 0, true, Smash}, "ON Activate:  THEN Smash"},
        // Values of a foreign file show as placeholders, never index a table.
        {{5, true, "t", 9, true, true, "c", -3, true, 8},
         "ON ?: IF Title ? \"t\" AND Class ? \"c\" THEN ?"},
        {longest, "ON Activate: IF Title Begins with \"" + p79 + "\" AND Class Begins with \"" +
                      p79 + "\" THEN Force Minimize (Win2K)"},
    };
    for (const auto &c : cases) {
        char buffer[RuleTextBufferSize];
        EXPECT_EQ(FormatRule(c.rule, buffer), c.text);
    }
}
