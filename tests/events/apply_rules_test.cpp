// Which rules fire for a window and an event, in what order, and that each
// firing is carried out and logged.
#include "tests/events/event_log_fixture.h"

#include "rules/apply_rules.h"

namespace {

class RuleApplication : public EventLogTest {};

constexpr char Title[] = "Untitled - Notepad";
constexpr char Class[] = "Notepad";

Rule BothTests(const char *title, const char *className)
{
    Rule rule = TitleRule(Create, Contains, title, Restore);
    rule.matchClass = true;
    std::strcpy(rule.className, className);
    return rule;
}

// The window is the test's own never-shown MainWindow, which a Restore leaves
// as it is: only the rows tell what fired.
TEST_F(RuleApplication, RuleFiresWhenItsEventAndEveryEnabledTestHold)
{
    Rule neither;
    neither.action = Restore;
    Rule activateOnly = neither;
    activateOnly.event = Activate;
    Rule badClassKind = ClassRule(Create, Class, Restore);
    badClassKind.classMatch = 9;
    const struct {
        const char *what;
        Rule rule;
        int32_t event;
        bool fires;
    } cases[] = {
        {"no test, its event", neither, Create, true},
        {"no test, other event", neither, Activate, false},
        {"Activate rule, Create event", activateOnly, Create, false},
        {"Activate rule, any event", activateOnly, AnyEvent, true},
        {"title holds", TitleRule(Create, EndsWith, "Notepad", Restore), Create, true},
        {"title fails", TitleRule(Create, BeginsWith, "Notepad", Restore), Create, false},
        {"class holds", ClassRule(Create, Class, Restore), Create, true},
        {"both hold", BothTests("titled", Class), Create, true},
        {"title fails, class holds", BothTests("Word", Class), Create, false},
        {"title holds, class fails", BothTests("titled", "Edit"), Create, false},
        {"class kind outside the table", badClassKind, Create, false},
    };
    for (const auto &c : cases) {
        ruleSet.Clear();
        ruleSet.Append(c.rule);
        ClearEventLog();
        ApplyRules(MainWindow, c.event, Title, Class);
        EXPECT_EQ(RowCount(), c.fires ? 1 : 0) << c.what;
    }
    ruleSet.Clear();
    ClearEventLog();
    ApplyRules(MainWindow, AnyEvent, Title, Class);
    EXPECT_EQ(RowCount(), 0) << "no rules";
}

TEST_F(RuleApplication, EveryMatchingRuleActsAndLogsInListOrder)
{
    ruleSet.Append(ClassRule(Create, "ApplyTarget", Hide));
    ruleSet.Append(ClassRule(Create, "ApplyTarget", Close));
    HWND window = Target("ApplyTarget", "target");
    ApplyRules(window, Create, "target", "ApplyTarget");
    EXPECT_EQ(Column(0), (Names{"Close", "Hide"}));
    EXPECT_EQ(Column(3), Names(2, Handle(window)));
    EXPECT_EQ(HiddenList.FindFirst(window), 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(window); }));
}

// A window of this thread: hiding it runs its procedure inside PerformAction,
// which here changes the rules as a message handled meanwhile could. The row
// must name the action that was carried out, and a rule added meanwhile is
// tried in the same pass even though the list's storage has moved.
Rule replacement, addition;
bool rulesChanged;

LRESULT CALLBACK ChangeRulesWhenHidden(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SHOWWINDOW && !wParam && !rulesChanged) {
        rulesChanged = true;
        ruleSet.Replace(0, replacement);
        ruleSet.Append(addition);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(RuleApplication, RulesChangedDuringAnActionAreReadAfresh)
{
    WNDCLASSEXA wc = {sizeof wc};
    wc.lpfnWndProc = ChangeRulesWhenHidden;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "RuleChanger";
    RegisterClassExA(&wc);
    HWND window = CreateWindowExA(0, "RuleChanger", "changer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  100, 100, nullptr, nullptr, wc.hInstance, nullptr);
    ruleSet.Append(ClassRule(Create, "RuleChanger", Hide));
    while (ruleSet.Count() < ruleSet.Capacity())
        ruleSet.Append(ClassRule(Create, "Nothing", Close));
    rulesChanged = false;
    replacement = ClassRule(Create, "RuleChanger", Close);
    addition = ClassRule(Create, "RuleChanger", 8);

    ApplyRules(window, Create, "changer", "RuleChanger");
    EXPECT_EQ(Column(0), (Names{UnknownName, "Hide"}));
    EXPECT_EQ(HiddenList.Count(), 1u);
    DestroyWindow(window);
}

} // namespace
