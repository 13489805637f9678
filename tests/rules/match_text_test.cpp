#include "rules/match_text.h"

#include "rules/rule.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
    const char *text;
    const char *pattern;
    int32_t kind;
    bool caseSensitive;
    bool passes;
};

const Case cases[] = {
    // Empty patterns: Equals only for an empty text, the others always.
    {"", "", Equals, true, true},
    {"x", "", Equals, true, false},
    {"x", "", Contains, true, true},
    {"", "", Contains, false, true},
    {"x", "", BeginsWith, true, true},
    {"x", "", EndsWith, false, true},
    // Case folding covers the ASCII letters only.
    {"Notepad", "NOTEPAD", Equals, false, true},
    {"Notepad", "NOTEPAD", Equals, true, false},
    {"\xE9t\xE9", "\xC9T\xC9", Equals, false, false},  // accented capitals stay apart
    {"\xC9t\xE9", "\xC9T\xE9", Equals, false, true},
    {"caf\xE9", "CAF\xC9", Contains, false, false},
    {"[ABC]", "[abc]", Equals, false, true},
    {"@", "`", Equals, false, false},  // neighbours of the letters do not fold
    {"[", "{", Equals, false, false},
    // Lengths.
    {"Doc", "Document", EndsWith, true, false},
    {"Untitled - Notepad", "Notepad", EndsWith, true, true},
    {"Untitled", "Untitled - Notepad", BeginsWith, true, false},
    {"Untitled - Notepad", "untitled", BeginsWith, false, true},
    {"abc", "abcd", Contains, true, false},
    {"aaab", "aab", Contains, true, true},  // a false start must not skip the match
    {"Setup Wizard", "UP WIZ", Contains, false, true},
    {"Setup Wizard", "UP WIZ", Contains, true, false},
    {"abc", "abc", EndsWith, true, true},
    // Kinds outside the table never pass, in both modes.
    {"", "", 4, true, false},
    {"abc", "abc", -1, false, false},
    {"abc", "", 0x7fffffff, true, false},
};

TEST(MatchText, Table)
{
    for (const Case &c : cases) {
        EXPECT_EQ(MatchText(c.text, c.pattern, c.kind, c.caseSensitive), c.passes)
            << "text \"" << c.text << "\" pattern \"" << c.pattern << "\" kind " << c.kind
            << (c.caseSensitive ? " case-sensitive" : " ignoring case");
    }
}

TEST(MatchText, EndsWithSeesOnlyTheFirst79Characters)
{
    // A long title reaches the rules cut to the 79 characters of its buffer.
    std::string title(100, 'a');
    title.replace(90, 10, "NOTEPAD123");
    std::string cut = title.substr(0, 79);
    EXPECT_FALSE(MatchText(cut.c_str(), "NOTEPAD123", EndsWith, true));
    EXPECT_TRUE(MatchText(cut.c_str(), std::string(79, 'a').c_str(), Equals, true));
}

} // namespace
