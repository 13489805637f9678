#include "rules/match_text.h"

#include "rules/rule.h"

#include <gtest/gtest.h>

TEST(MatchText, Table)
{
    const struct {
        const char *text, *pattern;
        int32_t kind;
        bool caseSensitive, passes;
    } cases[] = {
        {"", "", Equals, true, true},
        {"x", "", Equals, true, false},
        {"x", "", Contains, true, true},
        {"x", "", EndsWith, false, true},
        {"Notepad", "NOTEPAD", Equals, false, true},
        {"Notepad", "NOTEPAD", Equals, true, false},
        {"\xE9t\xE9", "\xC9T\xC9", Equals, false, false},  // accented capitals do not fold
        {"@[", "`{", Equals, false, false},                // neither do the letters' neighbours
        {"Doc", "Document", EndsWith, true, false},
        {"Untitled - Notepad", "Notepad", EndsWith, true, true},
        {"Untitled", "Untitled - Notepad", BeginsWith, true, false},
        {"Untitled - Notepad", "untitled", BeginsWith, false, true},
        {"aaab", "aab", Contains, true, true},  // a false start must not skip the match
        {"aaab", "AAB", Contains, false, true},
        {"Setup Wizard", "UP WIZ", Contains, true, false},
        {"abc", "abc", 4, true, false},
        {"abc", "abc", -1, false, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MatchText(c.text, c.pattern, c.kind, c.caseSensitive), c.passes)
            << '"' << c.text << "\" \"" << c.pattern << "\" " << c.kind << " " << c.caseSensitive;
}
