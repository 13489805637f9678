// The rule editor as the user meets it: opened modally over the main dialog,
// filled in, and ended with OK, Enter, Cancel, Escape or the close box.
#include "tests/ui/rule_editor_fixture.h"

#include "rules/rule_file.h"

using namespace editor_test;

namespace {

using Names = std::vector<std::string>;

Names Items(HWND editor, int id)
{
    Names names;
    LRESULT count = SendDlgItemMessageA(editor, id, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char name[64] = "";
        SendDlgItemMessageA(editor, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
        names.push_back(name);
    }
    return names;
}

void SetText(HWND editor, int id, const std::string &text) { SetDlgItemTextA(editor, id, text.c_str()); }
void Select(HWND editor, int id, int position)
{
    SendDlgItemMessageA(editor, id, CB_SETCURSEL, position, 0);
}
void Check(HWND editor, int id, bool on) { CheckDlgButton(editor, id, on ? BST_CHECKED : BST_UNCHECKED); }

// What the editor shows for a rule: a value outside its table selects
// nothing.
EditorState Shown(const Rule &rule)
{
    auto in = [](int32_t value, int count) { return value >= 0 && value < count ? value : -1; };
    return {in(rule.event, EventCount),          in(rule.action, ActionCount),
            in(rule.titleMatch, MatchKindCount), in(rule.classMatch, MatchKindCount),
            rule.matchTitle,                     rule.titleCase,
            rule.matchClass,                     rule.classCase,
            rule.title,                          rule.className};
}

Rule ClassRule(const char *className, int32_t action)
{
    Rule rule;
    rule.matchClass = true;
    std::snprintf(rule.className, sizeof rule.className, "%s", className);
    rule.action = action;
    return rule;
}

} // namespace

TEST_F(EditorFixture, NewRuleShowsTheDefaultsAndAsksForATest)
{
    std::vector<Step> steps = {Act([](HWND editor) {
        EXPECT_EQ(openEditor, editor);
        EXPECT_EQ(GetFocus(), GetDlgItem(editor, IDC_RULE_EDITOR_MATCH_TITLE));
        EXPECT_EQ(ReadEditor(editor),
                  (EditorState{Create, Close, Equals, Equals, false, true, false, true, "", ""}));
        // Sorted boxes, filled in table order all the same.
        EXPECT_EQ(Items(editor, IDC_RULE_EDITOR_EVENT), (Names{"Create", "Activate"}));
        Names kinds = {"Equals", "Contains", "Begins with", "Ends with"};
        EXPECT_EQ(Items(editor, IDC_RULE_EDITOR_TITLE_MATCH), kinds);
        EXPECT_EQ(Items(editor, IDC_RULE_EDITOR_CLASS_MATCH), kinds);
        EXPECT_EQ(Items(editor, IDC_RULE_EDITOR_ACTION),
                  (Names{"Close", "Minimize", "Force Minimize (Win2K)", "Maximize", "Restore", "Hide",
                         "Cloak", "Smash"}));
    })};
    Append(steps, ExpectWarning("You must match window title and/or class"));
    steps.push_back(Click(IDCANCEL));

    EXPECT_EQ(OpenEditor(std::nullopt, -1, steps), IDCANCEL);
    EXPECT_EQ(openEditor, nullptr);
    EXPECT_EQ(ruleSet.Count(), 0u);
    EXPECT_TRUE(refreshes.empty());
    EXPECT_EQ(GetFileAttributesA(ruleFileName), INVALID_FILE_ATTRIBUTES);
}

// Each rule fails several checks; the first in order is the one reported,
// and a value outside its table shows as an empty box.
TEST_F(EditorFixture, OkReportsTheFirstFailingCheckAndKeepsTheEditorOpen)
{
    struct Case {
        const char *name;
        Rule rule;
        const char *message;
    };
    std::vector<Case> cases;
    Rule rule;
    rule.event = 5;
    rule.action = 9;
    cases.push_back({"event", rule, "You must specify a valid event"});
    rule.event = Activate;
    rule.action = 8;
    cases.push_back({"action", rule, "You must specify a valid action"});
    rule.action = Smash;
    rule.titleMatch = rule.classMatch = -1;
    cases.push_back({"no test", rule, "You must match window title and/or class"});
    rule.matchTitle = rule.matchClass = true;
    rule.titleMatch = 4;
    cases.push_back({"title kind", rule, "You must specify a valid title match type"});
    rule.matchTitle = false;
    rule.titleMatch = 9;  // of a disabled test: not looked at
    cases.push_back({"class kind", rule, "You must specify a valid class match type"});
    rule.classMatch = EndsWith;
    cases.push_back({"class text", rule, "Please enter a window class."});

    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Rule shown = c.rule;
        std::vector<Step> steps = {
            Act([shown](HWND editor) { EXPECT_EQ(ReadEditor(editor), Shown(shown)); })};
        Append(steps, ExpectWarning(c.message));
        steps.push_back(Click(IDCANCEL));
        EXPECT_EQ(OpenEditor(c.rule, -1, steps), IDCANCEL);
        EXPECT_EQ(ruleSet.Count(), 0u);
        EXPECT_TRUE(refreshes.empty());
        EXPECT_EQ(GetFileAttributesA(ruleFileName), INVALID_FILE_ATTRIBUTES);
    }
}

TEST_F(EditorFixture, AddAppendsTheRuleAndRewritesTheFile)
{
    Rule existing = ClassRule("Existing", Minimize);
    ruleSet.Append(existing);
    ShowRules();
    std::string longTitle = std::string(70, 'a') + std::string(30, 'b');

    std::vector<Step> steps = {
        Act([&](HWND editor) {
            Check(editor, IDC_RULE_EDITOR_MATCH_TITLE, true);
            SetText(editor, IDC_RULE_EDITOR_TITLE, longTitle);
            Select(editor, IDC_RULE_EDITOR_TITLE_MATCH, BeginsWith);
            Check(editor, IDC_RULE_EDITOR_TITLE_CASE, false);
            Select(editor, IDC_RULE_EDITOR_EVENT, Activate);
            Select(editor, IDC_RULE_EDITOR_ACTION, Hide);
        }),
        Click(IDOK),
    };
    EXPECT_EQ(OpenEditor(std::nullopt, -1, steps), IDOK);

    Rule added;
    added.event = Activate;
    added.matchTitle = true;
    std::memcpy(added.title, longTitle.data(), 79);
    added.titleMatch = BeginsWith;
    added.titleCase = false;
    added.action = Hide;
    ASSERT_EQ(ruleSet.Count(), 2u);
    EXPECT_TRUE(SameRule(ruleSet.At(0), existing));
    EXPECT_TRUE(SameRule(ruleSet.At(1), added));
    EXPECT_EQ(std::string(ruleSet.At(1).title), longTitle.substr(0, 79));
    ASSERT_EQ(refreshes.size(), 1u);
    EXPECT_EQ(refreshes[0].row, 1u);
    EXPECT_EQ(refreshes[0].rulesThen, 2u) << "the rule is stored before the row is drawn";
    EXPECT_EQ(RuleRows(), RowsOf({existing, added}));
    EXPECT_EQ(SelectedRow(), 1);
    EXPECT_EQ(ReadBytes(ruleFileName), FileOf({existing, added}));
    EXPECT_EQ(openEditor, nullptr);
}

// Enter is OK; an empty title with its test on is a valid rule.
TEST_F(EditorFixture, EditReplacesTheRuleInPlace)
{
    std::vector<Rule> rules = {ClassRule("First", Close), ClassRule("Second", Maximize),
                               ClassRule("Third", Restore)};
    rules[1].event = Activate;
    rules[1].titleMatch = Contains;
    std::snprintf(rules[1].title, sizeof rules[1].title, "kept while the test is off");
    for (const Rule &rule : rules)
        ruleSet.Append(rule);
    ShowRules();

    Rule edited = rules[1];
    std::memset(edited.title, 0, sizeof edited.title);
    edited.matchTitle = true;
    std::memset(edited.className, 0, sizeof edited.className);
    std::snprintf(edited.className, sizeof edited.className, "Notepad");
    edited.classMatch = EndsWith;
    edited.classCase = false;

    std::vector<Step> steps = {
        Act([&](HWND editor) {
            EXPECT_EQ(ReadEditor(editor), Shown(rules[1]));
            Check(editor, IDC_RULE_EDITOR_MATCH_TITLE, true);
            SetText(editor, IDC_RULE_EDITOR_TITLE, "");
            SetText(editor, IDC_RULE_EDITOR_CLASS, "Notepad");
            Select(editor, IDC_RULE_EDITOR_CLASS_MATCH, EndsWith);
            Check(editor, IDC_RULE_EDITOR_CLASS_CASE, false);
            PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
        }),
    };
    EXPECT_EQ(OpenEditor(rules[1], 1, steps), IDOK);

    ASSERT_EQ(ruleSet.Count(), 3u);
    EXPECT_TRUE(SameRule(ruleSet.At(0), rules[0]));
    EXPECT_TRUE(SameRule(ruleSet.At(1), edited));
    EXPECT_TRUE(SameRule(ruleSet.At(2), rules[2]));
    ASSERT_EQ(refreshes.size(), 1u);
    EXPECT_EQ(refreshes[0].row, 1u);
    EXPECT_EQ(RuleRows(), RowsOf({rules[0], edited, rules[2]}));
    EXPECT_EQ(SelectedRow(), 1);
    EXPECT_EQ(ReadBytes(ruleFileName), FileOf({rules[0], edited, rules[2]}));
}

TEST_F(EditorFixture, CancelEscapeAndTheCloseBoxChangeNothing)
{
    struct Way {
        const char *name;
        void (*end)(HWND editor);
    };
    const Way ways[] = {
        {"Cancel", [](HWND editor) { PostMessageA(GetDlgItem(editor, IDCANCEL), BM_CLICK, 0, 0); }},
        {"Escape", [](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"close box", [](HWND editor) { PostMessageA(editor, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    Rule rule = ClassRule("Unchanged", Smash);
    ruleSet.Append(rule);
    ShowRules();
    ASSERT_TRUE(SaveRules(ruleFileName));
    Bytes before = ReadBytes(ruleFileName);

    for (const Way &way : ways) {
        SCOPED_TRACE(way.name);
        std::vector<Step> steps = {Act([&](HWND editor) {
            SetText(editor, IDC_RULE_EDITOR_CLASS, "Changed");
            Select(editor, IDC_RULE_EDITOR_ACTION, Hide);
            way.end(editor);
        })};
        EXPECT_EQ(OpenEditor(rule, 0, steps), IDCANCEL);
        EXPECT_EQ(openEditor, nullptr);
        ASSERT_EQ(ruleSet.Count(), 1u);
        EXPECT_TRUE(SameRule(ruleSet.At(0), rule));
        EXPECT_TRUE(refreshes.empty());
        EXPECT_EQ(RuleRows(), RowsOf({rule}));
        EXPECT_EQ(ReadBytes(ruleFileName), before);
    }
}

TEST_F(EditorFixture, ForeignEventValueWantsAnEventChosen)
{
    Rule foreign = ClassRule("Foreign", ForceMinimize);
    foreign.event = 5;
    std::vector<Step> steps = {
        Act([](HWND editor) {
            EXPECT_EQ(SendDlgItemMessageA(editor, IDC_RULE_EDITOR_EVENT, CB_GETCURSEL, 0, 0), CB_ERR);
        }),
    };
    Append(steps, ExpectWarning("You must specify a valid event"));
    steps.push_back(Act([](HWND editor) { Select(editor, IDC_RULE_EDITOR_EVENT, Activate); }));
    steps.push_back(Click(IDOK));
    EXPECT_EQ(OpenEditor(foreign, -1, steps), IDOK);

    Rule stored = foreign;
    stored.event = Activate;
    ASSERT_EQ(ruleSet.Count(), 1u);
    EXPECT_TRUE(SameRule(ruleSet.At(0), stored));
}

// The event, the action and the case boxes keep what the user chose.
TEST_F(EditorFixture, PickedWindowFillsTitleAndClass)
{
    Victim victim;
    ASSERT_TRUE(victim.Running());
    HWND picked = victim.Create("VictimPicked", "Picked window");
    std::string longTitle(100, 'x');
    HWND longNamed = victim.Create("VictimLong", longTitle);
    ASSERT_TRUE(picked && longNamed);

    EditorState afterPick{}, afterLong{}, afterNull{};
    std::vector<Step> steps = {
        Act([&](HWND editor) {
            Select(editor, IDC_RULE_EDITOR_EVENT, Activate);
            Select(editor, IDC_RULE_EDITOR_ACTION, Cloak);
            Select(editor, IDC_RULE_EDITOR_TITLE_MATCH, EndsWith);
            Select(editor, IDC_RULE_EDITOR_CLASS_MATCH, Contains);
            Check(editor, IDC_RULE_EDITOR_TITLE_CASE, false);
            SetText(editor, IDC_RULE_EDITOR_TITLE, "old title");
            SendMessageA(editor, WM_WINDOWPICKED, 0, reinterpret_cast<LPARAM>(picked));
            afterPick = ReadEditor(editor);
            SendMessageA(editor, WM_WINDOWPICKED, 0, reinterpret_cast<LPARAM>(longNamed));
            afterLong = ReadEditor(editor);
            SendMessageA(editor, WM_WINDOWPICKED, 0, 0);
            afterNull = ReadEditor(editor);
        }),
        Click(IDCANCEL),
    };
    EXPECT_EQ(OpenEditor(std::nullopt, -1, steps), IDCANCEL);

    EXPECT_EQ(afterPick, (EditorState{Activate, Cloak, Equals, Equals, true, false, true, true,
                                      "Picked window", "VictimPicked"}));
    EXPECT_EQ(afterLong.title, longTitle.substr(0, 79));
    EXPECT_EQ(afterLong.className, "VictimLong");
    EXPECT_EQ(afterNull.title, "");
    EXPECT_EQ(afterNull.className, "");
}

// An index that names no rule must not have the main dialog draw a row for
// it, nor add a rule the user did not ask for.
TEST_F(EditorFixture, EditOfAnIndexPastTheListSendsNoRefresh)
{
    Rule rule = ClassRule("Only", Close);
    ruleSet.Append(rule);
    ShowRules();
    EXPECT_EQ(OpenEditor(rule, 4, {Click(IDOK)}), IDOK);
    EXPECT_EQ(ruleSet.Count(), 1u);
    EXPECT_TRUE(refreshes.empty());
    EXPECT_EQ(RuleRows(), RowsOf({rule}));
    EXPECT_EQ(openEditor, nullptr);
}
