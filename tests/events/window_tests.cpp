// The actions on windows of another process (the victim), the guard that
// keeps them off the program's own windows, the hidden and cloaked lists; the
// road of an event to its rows and rules; the rules over every open window.
// The program's own windows are the tests' own: a never-shown MainWindow, a
// picker, and the real main dialog with no procedure but its event list.
#include "actions/window_actions.h"
#include "common/app_state.h"
#include "common/messages.h"
#include "common/resource.h"
#include "events/window_events.h"
#include "rules/apply_rules.h"
#include "rules/rule_set.h"
#include "tests/support/test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace {

using Names = std::vector<std::string>;

// A rule of event doing action, with a class and a title test where given.
Rule MakeRule(int32_t event, int32_t action, const char *className = nullptr, const char *title = nullptr,
              int32_t titleMatch = Equals)
{
    Rule rule;
    rule.event = event;
    rule.action = action;
    rule.titleMatch = titleMatch;
    if ((rule.matchClass = className != nullptr))
        std::strncpy(rule.className, className, RuleTextSize - 1);
    if ((rule.matchTitle = title != nullptr))
        std::strncpy(rule.title, title, RuleTextSize - 1);
    return rule;
}

// As the HWND column shows it.
std::string Handle(HWND window)
{
    char text[16];
    return std::string(text, std::snprintf(text, sizeof text, "0x%08x", unsigned(uintptr_t(window))));
}

class WindowTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        victim = new Victim;
    }
    static void TearDownTestSuite() { delete victim; }

    void SetUp() override
    {
        ASSERT_TRUE(victim->Running());
        MainWindow = Own(WS_POPUP);
        PickerWindow = Own(WS_POPUP);
        MainDialog = CreateDialogA(nullptr, MAKEINTRESOURCEA(IDD_MAIN), nullptr, nullptr);
        ownWindows.push_back(MainDialog);
        ASSERT_NE(list = GetDlgItem(MainDialog, IDC_MAIN_EVENTS), nullptr);
        InitEventControls(MainDialog);
        SetEventDelay(0);
    }

    // The victim's windows go first: one cloaked under MainWindow would
    // otherwise die with it.
    void TearDown() override
    {
        for (HWND window : victimWindows)
            victim->Send("destroy " + std::to_string(uintptr_t(window)));
        for (HWND window : ownWindows)
            DestroyWindow(window);
        ruleSet.Clear();
        HiddenList.Clear();
        CloakedList.Clear();
    }

    HWND Own(DWORD style, HWND owner = nullptr)
    {
        return ownWindows.emplace_back(
            CreateWindowExA(0, "STATIC", "own", style, 10, 10, 200, 100, owner, nullptr, nullptr, nullptr));
    }

    HWND Target(const std::string &title = "Target")
    {
        return victimWindows.emplace_back(victim->Create("VictimTarget", title));
    }

    // One column of the event list, top row first.
    Names Column(int column) const
    {
        Names texts(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        for (size_t row = 0; row < texts.size(); ++row) {
            char text[256] = "";
            ListView_GetItemText(list, row, column, text, sizeof text);
            texts[row] = text;
        }
        return texts;
    }

    inline static Victim *victim = nullptr;
    std::vector<HWND> victimWindows, ownWindows;
    HWND list = nullptr;
};

using WindowActions = WindowTest;

HWND RealParent(HWND window) { return GetAncestor(window, GA_PARENT); }
bool Minimized(HWND window) { return IsIconic(window) && IsWindowVisible(window); }
bool AtItsPlace(HWND window)
{
    RECT rect = {}, place = {200, 150, 600, 450};
    return GetWindowRect(window, &rect) && EqualRect(&rect, &place);
}

TEST_F(WindowActions, EachActionHasItsEffectOnAWindowOfAnotherProcess)
{
    const struct { int32_t before, action; bool (*done)(HWND); } cases[] = {
        {-1, Close, [](HWND w) { return !IsWindow(w); }},
        {-1, Minimize, Minimized},
        {-1, ForceMinimize, Minimized},
        {-1, Smash, Minimized},
        {-1, Maximize, [](HWND w) { return IsZoomed(w) != FALSE; }},
        {Smash, Restore, [](HWND w) { return !IsIconic(w) && AtItsPlace(w); }},  // the shrink is undone too
        {-1, Hide, [](HWND w) { return IsWindow(w) && !IsWindowVisible(w); }},
        {-1, Cloak, [](HWND w) { return !IsWindowVisible(w) && RealParent(w) == MainWindow; }},
    };
    for (const auto &c : cases) {
        HWND window = Target();
        ASSERT_TRUE(c.before < 0 ||
                    (PerformAction(window, c.before) && WaitFor([&] { return IsIconic(window); })));
        EXPECT_NE(PerformAction(window, c.action), 0) << ActionName(c.action);
        EXPECT_TRUE(WaitFor([&] { return c.done(window); })) << ActionName(c.action);
    }
}

// A window stays listed when the call fails or is made twice. The restore
// skips those gone.
TEST_F(WindowActions, HideAndCloakListEveryCallAndRestoreAllGivesTheWindowsBack)
{
    HWND both = Target(), cloaked = Target(), dead = Target();
    victim->Send("destroy " + std::to_string(uintptr_t(dead)));
    EXPECT_EQ(PerformAction(dead, Hide), 0);
    PerformAction(both, Hide);
    PerformAction(both, Hide);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(both); }));
    PerformAction(both, Cloak);
    EXPECT_EQ(PerformAction(dead, Cloak), 0);
    PerformAction(cloaked, Cloak);
    ASSERT_EQ(HiddenList.Count(), 3u);
    EXPECT_TRUE(HiddenList.At(1) == both && HiddenList.At(2) == both);
    EXPECT_EQ(CloakedList.FindFirst(dead), 1);

    RestoreAllWindows();
    EXPECT_EQ(HiddenList.Count() + CloakedList.Count(), 0u);
    for (HWND window : {both, cloaked}) {
        EXPECT_EQ(RealParent(window), GetDesktopWindow());
        EXPECT_TRUE(IsWindowVisible(window) && AtItsPlace(window));
    }
}

TEST_F(WindowActions, GuardRefusesOwnWindowsAndCloakedOnes)
{
    HWND cloaked = Target();
    ASSERT_EQ(PerformAction(cloaked, Cloak), 1);
    const struct { const char *what; HWND window; } refused[] = {
        {"main dialog", MainDialog},
        {"popup owned by the main dialog", Own(WS_POPUP | WS_VISIBLE, MainDialog)},
        {"popup owned by the main window", Own(WS_POPUP | WS_VISIBLE, MainWindow)},
        {"control of the main dialog", list},
        {"cloaked window", cloaked},
    };
    for (const auto &r : refused) {
        for (int32_t action = Close; action <= Smash; ++action)
            EXPECT_EQ(PerformAction(r.window, action), 0) << r.what << ", " << ActionName(action);
        PumpMessages();
        EXPECT_TRUE(IsWindow(r.window) && !IsIconic(r.window)) << r.what;
    }
    EXPECT_TRUE(HiddenList.Count() == 0 && CloakedList.Count() == 1);

    // Re-parenting activates the window again, and GetParent does not see a
    // cloaked window's parent: an Activate rule that cloaks must act once.
    ruleSet.Append(MakeRule(Activate, Cloak));
    HWND activated = Target();
    HandleWindowEvent(WM_HOOKACTIVATE, activated);
    HandleWindowEvent(WM_HOOKACTIVATE, activated);
    EXPECT_EQ(CloakedList.Count(), 2u);
}

using WindowEvents = WindowTest;

// Rows from the top: the last rule fired, ..., the first, then the event. A
// rule fires when its event and every test it makes hold (a failing title test
// blocks a matching class test), whatever the one before did; an action from a
// foreign rule file is shown as such. No window, MainDialog, picker: ignored.
TEST_F(WindowEvents, EventRowThenARowForEveryRuleFiredAboveIt)
{
    ruleSet.Append(MakeRule(Create, Hide, "VictimTarget"));
    ruleSet.Append(MakeRule(Activate, Close));
    ruleSet.Append(MakeRule(Create, Minimize, "VictimTarget", "Other"));
    ruleSet.Append(MakeRule(Create, Maximize, "Other", "Tar", BeginsWith));
    ruleSet.Append(MakeRule(Create, 8, "VictimTarget"));
    ruleSet.Append(MakeRule(Create, Close, nullptr, "Target"));
    for (HWND ignored : {HWND(nullptr), MainDialog, PickerWindow})
        HandleWindowEvent(WM_HOOKCREATE, ignored);
    HWND window = Target();
    HandleWindowEvent(WM_HOOKIGNORED, window);
    HandleWindowEvent(WM_HOOKCREATE, window);
    EXPECT_EQ(Column(0), (Names{"Close", UnknownName, "Hide", "Create"}));
    EXPECT_EQ(Column(1), Names(4, "Target"));
    EXPECT_EQ(Column(2), Names(4, "VictimTarget"));
    EXPECT_EQ(Column(3), Names(4, Handle(window)));
    EXPECT_EQ(HiddenList.FindFirst(window), 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(window); }));
}

// The victim titles its window 60 ms after the report, with 100 characters:
// only a Create waits the delay, and reads the title after it, as its first 79.
TEST_F(WindowEvents, CreateWaitsTheDelayAndReadsTheTitleAfterIt)
{
    const std::string shown(79, 'a'), title = shown + std::string(21, 'b');
    ruleSet.Append(MakeRule(Create, Restore, nullptr, shown.c_str()));
    ruleSet.Append(MakeRule(Create, Minimize, nullptr, "b", EndsWith));
    HWND window = Target("Untitled");
    auto msToReport = [&](UINT message) {
        DWORD start = GetTickCount();
        size_t rows = Column(0).size();
        HandleWindowEvent(message, window);
        WaitFor([&] { return Column(0).size() > rows; });
        return GetTickCount() - start;
    };
    SetEventDelay(250);
    victim->Send("latetitle " + std::to_string(uintptr_t(window)) + "|60|" + title);
    EXPECT_GE(msToReport(WM_HOOKCREATE), 240u);
    ASSERT_EQ(Column(0), (Names{"Restore", "Create"}));
    EXPECT_EQ(Column(1)[1], shown);
    EXPECT_LT(msToReport(WM_HOOKACTIVATE), 150u);
    SetEventDelay(0);
    EXPECT_LT(msToReport(WM_HOOKCREATE), 150u);
    EXPECT_EQ(Column(0).size(), 5u);
}

TEST_F(WindowEvents, EventListKeepsTheNewest100Rows)
{
    for (uintptr_t i = 1; i <= 105; ++i)
        LogEvent(HWND(i), Create, "title", "class");
    ASSERT_EQ(Column(3).size(), 100u);
    EXPECT_EQ(Column(3).front() + " ... " + Column(3).back(), "0x00000069 ... 0x00000006");
}

// The rules of every event, over the visible top-level windows: hidden and
// cloaked targets are skipped, and the main dialog is refused but logged.
TEST_F(WindowEvents, RulesForOpenWindowsSkipHiddenAndCloakedOnes)
{
    HWND shown1 = Target("Open"), shown2 = Target("Open"), hidden = Target("Open"), cloaked = Target("Open");
    ShowWindow(hidden, SW_HIDE);
    ASSERT_EQ(PerformAction(cloaked, Cloak), 1);
    ShowWindow(MainDialog, SW_SHOWNA);
    ruleSet.Append(MakeRule(Activate, Hide, "VictimTarget", "Open"));
    ruleSet.Append(MakeRule(Create, Hide, "#32770", "Tarnwick II"));
    ApplyRulesToOpenWindows();
    EXPECT_EQ(Column(0), Names(3, "Hide"));
    const Names handles = Column(3);
    EXPECT_EQ(std::set<std::string>(handles.begin(), handles.end()),
              (std::set<std::string>{Handle(shown1), Handle(shown2), Handle(MainDialog)}));
    EXPECT_EQ(HiddenList.Count(), 2u);
    EXPECT_TRUE(IsWindowVisible(MainDialog));
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(shown1) && !IsWindowVisible(shown2); }));
}

} // namespace
